// The platforms a program can install with DevSetPlatform.
#pragma once

#include <memory>
#include <string>

#include "hid_platform.h"

namespace quillpad {

// The real HID access of this operating system (Linux: hidraw; Windows: the HID class driver).
std::unique_ptr<HidPlatform> MakeDefaultPlatform();

// One simulated keypad whose 256-byte memory lives in stateFile. A missing file is created
// (zero-filled, byte 90 = 0xFC); a file of any other size than 256 bytes is refused and left
// alone. nullptr and a one-line error on failure.
std::unique_ptr<HidPlatform> MakeSimulatedKeypad(const std::string& stateFile, std::string& error);

}  // namespace quillpad
