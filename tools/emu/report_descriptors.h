// Report descriptors the emulator can present.
#pragma once

#include <cstdint>
#include <vector>

#include "keypad_interface.h"

namespace quillpad::emu {

// The keypad's configuration interface: one application collection (the keypad's usage page
// and usage unless told otherwise) with an output report of 7 bytes and a feature report of
// 256 bytes, no report IDs: with report numbers counted, the keypad's report lengths
// (keypad_interface.h).
std::vector<std::uint8_t> KeypadDescriptor(std::uint16_t usagePage = kKeypadUsagePage,
                                           std::uint16_t usage = kKeypadUsage);

// A plain boot keyboard (usage page 1, usage 6): 8-byte input report, 1-byte LED output report.
std::vector<std::uint8_t> KeyboardDescriptor();

}  // namespace quillpad::emu
