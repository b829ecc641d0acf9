// The keypad's 256-byte configuration block and its conversion to and from the six keys.
//
// Layout: six 15-byte entries at offsets 0, 15, ..., 75 holding keys 4, 3, 2, 1, 6, 5
// (the keypad stores key 4 first), the marker 0xFC at byte 90, zeros elsewhere.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "key_assignment.h"

namespace quillpad {

inline constexpr std::size_t kConfigBlockSize = 256;
inline constexpr std::size_t kKeyEntrySize = 15;
inline constexpr std::size_t kBlockMarkerOffset = 90;
inline constexpr std::uint8_t kBlockMarker = 0xFC;

using ConfigBlock = std::array<std::uint8_t, kConfigBlockSize>;

// Byte offsets inside one 15-byte key entry; all other bytes of an entry are 0.
struct KeyEntry {
    static constexpr std::size_t kKind = 0;
    static constexpr std::size_t kModifiers = 1;
    static constexpr std::size_t kUsage = 3;
    static constexpr std::size_t kMouse = 7;
};

// EntryKind bits: the entry has a keyboard part, a mouse part. Values 0 to 3.
using EntryKind = std::uint8_t;
inline constexpr EntryKind kEntryKeyboard = 0x01;
inline constexpr EntryKind kEntryMouse = 0x02;

// Key number held by each entry slot, in block order.
inline constexpr std::array<int, kKeyCount> EntryKeyOrder = {4, 3, 2, 1, 6, 5};

// Sum of digits[i] * 2^(n-1-i): the first digit is the most significant. 0 for no digits.
// Results that would not fit an int are clamped to INT_MAX.
int BitsToByte(std::span<const std::uint8_t> digits);

// Keyboard part: a key, or Ctrl, Alt or bit 0x10 among the modifiers (Shift and Windows
// alone do not count: the keypad firmware expects this mask). Mouse part: left, right or
// middle button.
EntryKind MakeEntryKind(const KeyAssignment& assignment);

// Builds the block from the six keys alone; lParam plays no part.
ConfigBlock EncodeConfigBlock(const KeyAssignments& keys);

// Overwrites the six keys from a block. Every block decodes: the kind byte, the marker and
// the reserved bytes are not read. Every lParam becomes 0.
void DecodeConfigBlock(const ConfigBlock& block, KeyAssignments& keys);

}  // namespace quillpad
