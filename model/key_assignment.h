// One keypad key's assignment, and the six keys the window edits.
#pragma once

#include <array>
#include <cstdint>

namespace quillpad {

// Modifier bits: the positions of the left-hand modifiers in a HID keyboard report's
// modifier byte. Bits 0x10 to 0x80 are never set by the editor but are kept as read.
inline constexpr std::uint8_t kModCtrl = 0x01;
inline constexpr std::uint8_t kModShift = 0x02;
inline constexpr std::uint8_t kModAlt = 0x04;
inline constexpr std::uint8_t kModWindows = 0x08;

// Mouse bits: the button bits of a HID mouse report. Bits 0x08 to 0x80 are kept as read.
inline constexpr std::uint8_t kMouseLeft = 0x01;
inline constexpr std::uint8_t kMouseRight = 0x02;
inline constexpr std::uint8_t kMouseMiddle = 0x04;

// lParam of the Application key as the Application check box sets it: repeat count 1,
// scan code 0x5D, extended-key flag.
inline constexpr std::uint32_t kApplicationKeyLParam = 0x015D0001;

struct KeyAssignment {
    std::uint8_t vk = 0;         // Windows virtual-key code, 0 = no key
    std::uint8_t modifiers = 0;  // kMod... bits
    std::uint8_t mouse = 0;      // kMouse... bits
    // Key-down lParam of the keystroke that set vk (scan code in bits 16-23, extended flag in
    // bit 24); only used to name the key, never sent to the keypad. 0 = name it from vk.
    std::uint32_t lParam = 0;

    friend bool operator==(const KeyAssignment&, const KeyAssignment&) = default;
};

inline constexpr int kKeyCount = 6;

// The six keys, element k-1 holding key number k (keys are numbered 1 to 6 everywhere).
using KeyAssignments = std::array<KeyAssignment, kKeyCount>;

inline KeyAssignment& KeyByNumber(KeyAssignments& keys, int number) {
    return keys.at(number - 1);
}
inline const KeyAssignment& KeyByNumber(const KeyAssignments& keys, int number) {
    return keys.at(number - 1);
}

}  // namespace quillpad
