// Reading the configuration as Refresh does, for the window and quillpadctl alike: the keypad is
// given kRefreshSettleMs before it is looked for, and again before it is read.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>

namespace quillpad {

inline constexpr int kRefreshSettleMs = 100;

class KeypadRefresh {
  public:
    // wait(ms) does the waiting: a window keeps itself painted meanwhile, a command sleeps.
    explicit KeypadRefresh(std::function<void(int ms)> wait) : wait_(std::move(wait)) {}

    // Step 1: gives the keypad its time (unless settle is false: it had it already), then finds
    // the keypads (DevEnumerate); returns their count. window: as DevEnumerate's.
    int Find(void* window, bool settle = true) const;
    // Step 2: gives the keypad its time again, selects slot index and reads length bytes at
    // address 0 into buffer (DevReadBlock). A caller that claims the keypad (DevLockKeypad)
    // does so before this step.
    bool Read(int index, std::uint8_t* buffer, int length) const;

  private:
    std::function<void(int ms)> wait_;
};

}  // namespace quillpad
