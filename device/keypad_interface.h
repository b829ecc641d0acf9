// The keypad's configuration interface as it shows itself on the bus and what travels over it,
// written once for the host (the Dev... library), the keypad's own side (emulated_keypad/), the
// backends that present a keypad and quillpad-emu.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "config_block.h"

namespace quillpad {

// HID attributes and the top-level collection of the configuration interface.
inline constexpr std::uint16_t kKeypadVendorId = 0x1130;
inline constexpr std::uint16_t kKeypadProductId = 0x660C;
inline constexpr std::uint16_t kKeypadUsagePage = 0x01;
inline constexpr std::uint16_t kKeypadUsage = 0x03;

// Report lengths in bytes, the report number byte included. An output report carries 7 bytes;
// a feature report the whole memory. The host frames by whatever length an interface states.
inline constexpr std::size_t kKeypadMemorySize = kConfigBlockSize;
inline constexpr std::size_t kKeypadOutputReportLength = 8;
inline constexpr std::size_t kKeypadFeatureReportLength = 1 + kKeypadMemorySize;
// The output report length of the simulated keypad and of the test platform's keypads.
inline constexpr std::size_t kSimulatedOutputReportLength = 9;

// The command header that starts every block transfer: the four bytes 0A 0B 0C 0D, the start
// address, the byte count (00 stands for 256), the operation and 00.
inline constexpr std::size_t kCommandHeaderSize = 8;
inline constexpr std::array<std::uint8_t, 4> kCommandMagic = {0x0A, 0x0B, 0x0C, 0x0D};
inline constexpr std::uint8_t kOpRead = 0x01;
inline constexpr std::uint8_t kOpWrite = 0x02;

}  // namespace quillpad
