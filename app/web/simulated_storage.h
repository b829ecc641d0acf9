// The page's simulated keypad: the simulated keypad of the desktop programs
// (device/platform/sim) over a state file in the page's in-memory file system, whose bytes
// are kept in the browser's storage (localStorage) from one visit to the next.
#pragma once

#include <memory>
#include <string>

#include "hid_platform.h"

namespace quillpad {

class SimulatedStorage {
  public:
    // Puts the stored memory (if any) in the state file and opens the simulated keypad on it.
    // nullptr and the reason when that fails.
    std::unique_ptr<HidPlatform> Open(std::string& error);
    // Stores the state file's bytes when they changed since they were last stored.
    void Persist();

  private:
    std::string stored_;  // hex of what the browser holds
};

}  // namespace quillpad
