// Reading and writing the keypad's configuration block the way the window's Refresh and OK
// commands do: enumerate the keypads, select one, and move 256 bytes at address 0.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "config_block.h"
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

    // Refresh: wait 100 ms, enumerate, wait 100 ms, select the slot, read 256 bytes at 0.
    Status Read(int device, ConfigBlock& block);
    // OK: enumerate, select the slot, write 256 bytes at 0.
    Status Write(int device, const ConfigBlock& block);
    // Write, then (when verify is set) read back and compare every byte.
    Status WriteAndVerify(int device, const ConfigBlock& block, bool verify);

  private:
    Status Enumerate(int device, bool wait);

    std::unique_ptr<HidPlatform> platform_;
};

// The keypads the last enumeration opened, and those present that it could not open.
struct KeypadSlot {
    int index = 0;
    std::string path;
    DevNode node = kNoDevNode;  // the device node the keypad's interfaces are grouped by
};
struct KeypadList {
    std::vector<KeypadSlot> slots;
    std::vector<DeviceProblem> problems;
};

// Enumerates the keypads (as Refresh does, with its wait) and lists them.
KeypadList ListKeypads();

bool IsPermissionProblem(const DeviceProblem& problem);

// The explanation of a keypad that cannot be opened for lack of permission: what to install.
std::string PermissionFix();

}  // namespace quillpad::ctl
