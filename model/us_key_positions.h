// The physical keys of a PC keyboard and the virtual key the US layout gives each of them.
// The keypad stores the position of a key, not a character, so a captured key is recorded as
// the US virtual key of the key pressed whatever layout the computer uses, and a stored key is
// shown by finding its position again and asking the current layout what it types there.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "scan_codes.h"

namespace quillpad {

// The US layout's virtual key for the key at scan, with Num Lock on for the keypad; nothing
// for a scan code no PC key has.
std::optional<std::uint8_t> UsVkAtScanCode(ScanCode scan);

// The virtual key the keypad key at scan gives with Num Lock off (Home for keypad 7); nothing
// for the keys Num Lock does not change.
std::optional<std::uint8_t> UsNumLockOffVkAtScanCode(ScanCode scan);

// A character key of the US layout: its position, its virtual key, the character on its cap
// (letters in capitals) and the one it types with Shift.
struct UsCharacterKey {
    ScanCode scan;
    std::uint8_t vk;
    char character;
    char shifted;
};

// Every character key, row by row from the digits; the key beside the left Shift of a
// 102-key keyboard (also a backslash on the US layout) last.
std::span<const UsCharacterKey> UsCharacterKeys();
// The character key at scan, or nullptr.
const UsCharacterKey* UsCharacterKeyAt(ScanCode scan);
// The first character key with virtual key vk, or nullptr.
const UsCharacterKey* UsCharacterKeyOfVk(std::uint8_t vk);

// Where the US layout has the key vk (its first position, for Enter and the modifiers, which
// have two); nothing for a virtual key no US key gives.
std::optional<ScanCode> ScanCodeOfUsVk(std::uint8_t vk);

// A key-down lParam for the key vk, or 0 when no US key gives vk.
std::uint32_t KeyLParamOfUsVk(std::uint8_t vk);

// The virtual key to record for a key-down message: the US virtual key of the physical key in
// lParam, whatever virtual key the active layout gave (platformVk). The keypad's digit keys
// keep platformVk when it is one of the two keys Num Lock chooses between. A key-down without a
// known position (scan code 0, input injected as a character) keeps platformVk.
std::uint8_t UsVkOfKeyDown(std::uint32_t platformVk, std::uint32_t lParam);

// True for the keys whose character depends on the layout: letters, digits of the main row
// and the punctuation keys, by US virtual key.
bool IsCharacterKeyVk(std::uint8_t vk);

// True for the keys a layout names: the character keys, and the keys of ISO, Brazilian,
// Japanese and Korean keyboards (what they type, or the layout's name of a key that types
// nothing, such as Henkan).
bool IsLayoutNamedVk(std::uint8_t vk);

}  // namespace quillpad
