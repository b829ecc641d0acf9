#include "key_names.h"

#include "key_naming.h"
#include "layout_keymap.h"
#include "scan_codes.h"
#include "us_key_positions.h"

namespace quillpad {
namespace {

struct FixedName {
    ScanCode scan;
    const char* name;
};

// Keys without a character, named as Windows names them.
constexpr FixedName kFixedNames[] = {
    {{0x01, false}, "Esc"},         {{0x0E, false}, "Backspace"},    {{0x0F, false}, "Tab"},
    {{0x1C, false}, "Enter"},       {{0x1C, true}, "Num Enter"},     {{0x1D, false}, "Ctrl"},
    {{0x1D, true}, "Right Ctrl"},   {{0x2A, false}, "Shift"},        {{0x35, true}, "Num /"},
    {{0x36, false}, "Right Shift"}, {{0x37, false}, "Num *"},        {{0x37, true}, "Prnt Scrn"},
    {{0x38, false}, "Alt"},         {{0x38, true}, "Right Alt"},     {{0x39, false}, "Space"},
    {{0x3A, false}, "Caps Lock"},   {{0x3B, false}, "F1"},           {{0x3C, false}, "F2"},
    {{0x3D, false}, "F3"},          {{0x3E, false}, "F4"},           {{0x3F, false}, "F5"},
    {{0x40, false}, "F6"},          {{0x41, false}, "F7"},           {{0x42, false}, "F8"},
    {{0x43, false}, "F9"},          {{0x44, false}, "F10"},          {{0x45, false}, "Pause"},
    {{0x45, true}, "Num Lock"},     {{0x46, false}, "Scroll Lock"},  {{0x47, false}, "Num 7"},
    {{0x47, true}, "Home"},         {{0x48, false}, "Num 8"},        {{0x48, true}, "Up"},
    {{0x49, false}, "Num 9"},       {{0x49, true}, "Page Up"},       {{0x4A, false}, "Num -"},
    {{0x4B, false}, "Num 4"},       {{0x4B, true}, "Left"},          {{0x4C, false}, "Num 5"},
    {{0x4D, false}, "Num 6"},       {{0x4D, true}, "Right"},         {{0x4E, false}, "Num +"},
    {{0x4F, false}, "Num 1"},       {{0x4F, true}, "End"},           {{0x50, false}, "Num 2"},
    {{0x50, true}, "Down"},         {{0x51, false}, "Num 3"},        {{0x51, true}, "Page Down"},
    {{0x52, false}, "Num 0"},       {{0x52, true}, "Insert"},        {{0x53, false}, "Num Del"},
    {{0x53, true}, "Delete"},       {{0x57, false}, "F11"},          {{0x58, false}, "F12"},
    {{0x5B, true}, "Left Windows"}, {{0x5C, true}, "Right Windows"}, {{0x5D, true}, "Application"},
    {{0x64, false}, "F13"},         {{0x65, false}, "F14"},          {{0x66, false}, "F15"},
    {{0x67, false}, "F16"},         {{0x68, false}, "F17"},          {{0x69, false}, "F18"},
    {{0x6A, false}, "F19"},         {{0x6B, false}, "F20"},          {{0x6C, false}, "F21"},
    {{0x6D, false}, "F22"},         {{0x6E, false}, "F23"},          {{0x76, false}, "F24"},
};

// The US layout's character at scan, for when no keymap can be had.
std::string UsCharacter(ScanCode scan) {
    const UsCharacterKey* key = UsCharacterKeyAt(scan);
    return key != nullptr ? std::string(1, key->character) : std::string();
}

}  // namespace

std::string KeyNameFromLParam(std::uint32_t lParam) {
    const ScanCode scan = ScanCodeFromLParam(lParam);
    for (const auto& f : kFixedNames) {
        if (f.scan == scan) {
            return f.name;
        }
    }
    // What is left with a key position is a character key.
    const auto evdev = ScanCodeToEvdev(scan);
    if (!evdev) {
        return {};
    }
    std::string name = LayoutKeyCharacter(*evdev);
    if (name.empty()) {
        name = LayoutKeySymName(*evdev);
    }
    if (name.empty()) {
        name = UsCharacter(scan);
    }
    // A key of a Japanese, Brazilian or Korean keyboard that the keymap leaves empty.
    if (const auto vk = UsVkAtScanCode(scan); name.empty() && vk && !IsCharacterKeyVk(*vk)) {
        name = VkToKeyName(*vk);
    }
    return name;
}

std::string ShiftedKeyNameFromLParam(std::uint32_t lParam) {
    const ScanCode scan = ScanCodeFromLParam(lParam);
    for (const auto& f : kFixedNames) {
        if (f.scan == scan) {
            return {};
        }
    }
    const auto evdev = ScanCodeToEvdev(scan);
    return evdev ? LayoutShiftedKeyCharacter(*evdev) : std::string();
}

}  // namespace quillpad
