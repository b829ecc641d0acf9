// A scripted platform for tests: any number of HID interfaces with chosen paths, device nodes,
// attributes and capabilities, some of which behave as keypads. It records every call, can
// fail any chosen call or report a short write, and notices double closes and leaks.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "emulated_keypad/keypad_protocol.h"
#include "hid_platform.h"

namespace quillpad {

struct FakeInterface {
    std::string path;
    DevNode node = 0;         // the interface's own device node
    DevNode parent = 0;       // its parent
    DevNode grandparent = 0;  // the node two levels above: the keypad's grouping key
    HidAttributes attributes;
    HidCaps caps;
    bool keypad = false;  // answers transfers with a keypad memory of its own
};

enum class FakeOp {
    kOpenList,
    kInterfaceExists,
    kGetDetail,
    kCloseList,
    kGetParent,
    kOpen,
    kClose,
    kGetAttributes,
    kGetPreparsed,
    kFreePreparsed,
    kGetCaps,
    kGetButtonCaps,
    kGetValueCaps,
    kMaxUsageListLength,
    kWriteReport,
    kGetFeature,
    kRegisterNotification,
    kUnregisterNotification,
    kCount
};

struct FakeCall {
    FakeOp op;
    std::string path;  // the interface concerned, when known
    PlatformHandle handle = kInvalidHandle;
    std::vector<std::uint8_t> bytes;  // WriteReport: the report; GetFeature: the request
    std::size_t length = 0;
    void* window = nullptr;
};

class FakePlatform : public HidPlatform {
  public:
    // The keypad's configuration interface (keypad_interface.h), with output reports of
    // outputLength bytes.
    static FakeInterface KeypadInterface(const std::string& path, DevNode grandparent,
                                         std::uint16_t outputLength = kSimulatedOutputReportLength);
    // Any HID interface.
    static FakeInterface Interface(const std::string& path, DevNode grandparent,
                                   std::uint16_t vendor, std::uint16_t product,
                                   std::uint16_t usagePage, std::uint16_t usage);

    FakePlatform() = default;
    ~FakePlatform() override;

    // Adds an interface to the end of the list (node ids are assigned when left 0).
    void Add(FakeInterface iface);
    std::size_t size() const { return interfaces_.size(); }

    // Scripted failures: every call of op concerning path (any path when empty) fails ...
    void Fail(FakeOp op, const std::string& path = "");
    // ... or only the n-th call of op counted from now (0 = the next one).
    void FailNth(FakeOp op, int n);
    // The n-th WriteReport from now succeeds but reports one byte fewer than it was given.
    void ShortWriteNth(int n);
    // The list holds the interfaces, but GetInterfaceDetail fails for this one.
    void FailDetail(const std::string& path) { Fail(FakeOp::kGetDetail, path); }
    void ClearFailures();

    // Call log.
    void SetRecording(bool on) { recording_ = on; }
    const std::vector<FakeCall>& calls() const { return calls_; }
    int Count(FakeOp op) const { return counts_[static_cast<int>(op)]; }
    int TotalCalls() const;
    void ClearCalls();
    // The reports written through handles opened on path, in order.
    std::vector<std::vector<std::uint8_t>> ReportsTo(const std::string& path) const;

    // Bookkeeping of what is held.
    int OpenHandles() const { return static_cast<int>(handles_.size()); }
    int OpenHandlesOn(const std::string& path) const;
    int HeldPreparsedData() const { return static_cast<int>(preparsed_.size()); }
    int HeldNotifications() const { return static_cast<int>(notifications_.size()); }
    int OpenLists() const { return openLists_; }
    // Double closes, frees of unknown data and calls on closed handles, as messages.
    const std::vector<std::string>& misuse() const { return misuse_; }

    // The keypad side of the interface at path (created on first use, with the interface's
    // output report length and a fresh keypad's memory).
    KeypadProtocol& Keypad(const std::string& path);
    // What the keypads found the host doing wrong, in order. Tests check it is empty at their
    // end, so that a violation fails the test that caused it.
    const std::vector<std::string>& keypadViolations() const { return keypadViolations_; }
    void ClearKeypadViolations() { keypadViolations_.clear(); }

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
    void GetButtonCaps(ReportKind kind, PreparsedData data,
                       std::vector<HidButtonCaps>& caps) override;
    void GetValueCaps(ReportKind kind, PreparsedData data,
                      std::vector<HidValueCaps>& caps) override;
    std::uint32_t MaxUsageListLength(ReportKind kind, std::uint16_t usagePage,
                                     PreparsedData data) override;
    bool WriteReport(PlatformHandle handle, const std::uint8_t* report, std::size_t length,
                     std::size_t& written) override;
    bool GetFeature(PlatformHandle handle, std::uint8_t* buffer, std::size_t length) override;
    NotificationHandle RegisterNotification(void* window, PlatformHandle handle) override;
    void UnregisterNotification(NotificationHandle notification) override;

  private:
    struct Preparsed {
        int interfaceIndex;
    };

    // Records the call and tells whether the script makes it fail.
    bool Call(FakeOp op, const std::string& path, PlatformHandle handle = kInvalidHandle);
    const FakeInterface* ByHandle(PlatformHandle handle);
    const FakeInterface* ByPreparsed(PreparsedData data);

    std::vector<FakeInterface> interfaces_;
    std::map<DevNode, DevNode> parents_;
    DevNode nextNode_ = 0x1000;

    std::vector<FakeCall> calls_;
    std::array<int, static_cast<int>(FakeOp::kCount)> counts_{};
    bool recording_ = true;

    std::multimap<FakeOp, std::string> failPaths_;
    std::map<FakeOp, std::set<int>> failNth_;  // absolute call numbers
    std::set<int> shortWrites_;                // absolute WriteReport numbers

    std::map<PlatformHandle, int> handles_;  // open handle -> interface index
    PlatformHandle nextHandle_ = 100;
    std::map<PreparsedData, std::unique_ptr<Preparsed>> preparsed_;
    std::set<NotificationHandle> notifications_;
    std::intptr_t nextNotification_ = 1;
    int openLists_ = 0;
    int listToken_ = 0;
    std::vector<std::string> misuse_;
    std::map<std::string, KeypadProtocol> keypads_;
    std::vector<std::string> keypadViolations_;
};

}  // namespace quillpad
