// Report descriptors the emulator can present.
#pragma once

#include <cstdint>
#include <vector>

namespace quillpad::emu {

// The keypad's configuration interface: one application collection (usage page 1, usage 3
// unless told otherwise) with an output report of 7 bytes and a feature report of 256 bytes,
// no report IDs. With report numbers counted that is an 8-byte output report and a 257-byte
// feature report.
std::vector<std::uint8_t> KeypadDescriptor(std::uint16_t usagePage = 0x01,
                                           std::uint16_t usage = 0x03);

// A plain boot keyboard (usage page 1, usage 6): 8-byte input report, 1-byte LED output report.
std::vector<std::uint8_t> KeyboardDescriptor();

}  // namespace quillpad::emu
