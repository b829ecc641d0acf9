// A platform with one simulated keypad: its configuration interface has the keypad's identity
// (keypad_interface.h) and answers as the keypad does, and its memory is a state file. Its
// output reports are 9 bytes (8 payload bytes), one more than the keypad's 8; the host frames
// by whatever length an interface states, so it works with either.
//
// Every transfer works on the file as it is at that moment: a read reads it, a write reads it,
// stores its data and saves it whole. The file is locked (flock) for each transfer, shared for
// a read and exclusive for a write, and exclusively for as long as a LockKeypad claim lives;
// the transfers under a claim of this process need no lock of their own. A file that is not
// exactly 256 bytes fails the transfer and is never written.
#pragma once

#include <set>
#include <string>

#include "emulated_keypad/keypad_protocol.h"
#include "file_lock.h"
#include "hid_platform.h"
#include "keypad_interface.h"

namespace quillpad {

class SimulatedKeypad : public HidPlatform {
  public:
    static constexpr std::uint16_t kOutputReportLength = kSimulatedOutputReportLength;

    // stateFile: an existing file (MakeSimulatedKeypad creates a missing one).
    explicit SimulatedKeypad(std::string stateFile);
    ~SimulatedKeypad() override;

    const std::string& path() const { return path_; }
    const KeypadProtocol& keypad() const { return keypad_; }

    InterfaceList OpenInterfaceList() override;
    bool InterfaceExists(InterfaceList list, int index) override;
    bool GetInterfaceDetail(InterfaceList list, int index, std::string& path,
                            DevNode& node) override;
    void CloseInterfaceList(InterfaceList list) override;
    DevNode GetParent(DevNode node) override;
    PlatformHandle Open(const std::string& path, bool read, bool write, bool overlapped,
                        bool exclusive) override;
    void Close(PlatformHandle handle) override;
    bool GetAttributes(PlatformHandle handle, HidAttributes& attributes) override;
    bool GetPreparsedData(PlatformHandle handle, PreparsedData& data) override;
    void FreePreparsedData(PreparsedData data) override;
    bool GetCaps(PreparsedData data, HidCaps& caps) override;
    bool WriteReport(PlatformHandle handle, const std::uint8_t* report, std::size_t length,
                     std::size_t& written) override;
    bool GetFeature(PlatformHandle handle, std::uint8_t* buffer, std::size_t length) override;
    std::unique_ptr<KeypadLock> LockKeypad(const std::string& path, std::string& reason,
                                           const std::function<bool()>& waiting) override;
    std::string LastTransferError() const override { return transferError_; }

  private:
    class Claim;

    bool IsOpen(PlatformHandle handle) const { return handles_.count(handle) != 0; }
    // Holds the file lock once more (taking it in mode when nobody in this process holds it).
    bool Acquire(FileLock::Mode mode, std::string& reason, const std::function<bool()>& waiting);
    void Release();
    // Begins a write: locks the file and reads the memory the write changes.
    bool BeginWrite();
    void EndWrite();
    bool SaveWrite();

    std::string stateFile_;
    std::string path_;
    KeypadProtocol keypad_{FactoryMemory(), kOutputReportLength, MemoryEnd::kWrap};
    std::set<PlatformHandle> handles_;
    PlatformHandle nextHandle_ = 1;
    FileLock lock_;
    int lockDepth_ = 0;         // holders of lock_ in this process: claims and a transfer
    bool writeLocked_ = false;  // a write under way holds lock_
    std::string transferError_;
    int listToken_ = 0;
    int capsToken_ = 0;
};

}  // namespace quillpad
