// Reading and writing the keypad's configuration block the way the window's Refresh and OK
// commands do: enumerate the keypads, select one, and move 256 bytes at address 0.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "config_block.h"
#include "dev_slots.h"
#include "hid_platform.h"
#include "status.h"

namespace quillpad::ctl {

// Installs the platform the Dev... library talks to for the life of this object: the
// simulated keypad of a state file, or the system's HID access.
class KeypadAccess {
  public:
    KeypadAccess() = default;
    KeypadAccess(const KeypadAccess&) = delete;
    KeypadAccess& operator=(const KeypadAccess&) = delete;
    ~KeypadAccess();

    Status Open(const std::optional<std::string>& simulateFile);
    // Claims the keypad in the slot against other programs until this object goes, so that
    // a read, a change and the write back are not interleaved with theirs, waiting at most
    // waitSeconds for another program to let go. Later transfers fail when the slot then
    // holds another keypad.
    Status Claim(int device, int waitSeconds);
    // Lets other programs have the keypad again (when nothing more is read or written).
    void ReleaseClaim() { lock_.reset(); }

    // As Refresh does (KeypadRefresh): enumerate (after the keypad's time unless Claim gave it
    // that), then give it its time again, select the slot and read 256 bytes at 0.
    Status Read(int device, ConfigBlock& block);
    // OK: enumerate, select the slot, write 256 bytes at 0.
    Status Write(int device, const ConfigBlock& block);
    // Write, then (when verify is set) read back and compare every byte.
    Status WriteAndVerify(int device, const ConfigBlock& block, bool verify);

  private:
    // Finds the keypads, after giving the keypad its time first when settle is set.
    Status Enumerate(int device, bool settle);
    // The failure of a transfer: a file error when the platform names one.
    static Status TransferFailed(const std::string& what);

    std::unique_ptr<HidPlatform> platform_;
    std::unique_ptr<KeypadLock> lock_;  // goes before the platform that gave it
    std::string lockedPath_;
};

// Compares a block read back with the one written: a verify failure naming the first byte
// that differs, else Ok.
Status CompareReadBack(const ConfigBlock& written, const ConfigBlock& readBack);

// The keypads the last enumeration opened, and those present that it could not open.
struct KeypadList {
    std::vector<DevSlotInfo> slots;
    std::vector<DeviceProblem> problems;
};

// Enumerates the keypads (as Refresh does, with its wait) and lists them.
KeypadList ListKeypads();

bool IsPermissionProblem(const DeviceProblem& problem);

// Why no keypad can be used, given the problems of the last enumeration: permission denied
// when any keypad was refused for that, else no keypad.
Status NoKeypadStatus(const std::vector<DeviceProblem>& problems);

// One line on a keypad that cannot be used: the path and the reason (which says what to do
// where the backend knows, such as which udev rule to install).
std::string DescribeProblem(const DeviceProblem& problem);

}  // namespace quillpad::ctl
