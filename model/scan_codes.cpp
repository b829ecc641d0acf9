#include "scan_codes.h"

namespace quillpad {
namespace {

struct EvdevScan {
    int evdev;
    ScanCode scan;
};

// Keys whose set-1 code differs from the evdev code. Windows reports Pause as 45 without the
// extended flag and Num Lock as E0 45, the other way round from the hardware.
constexpr EvdevScan kSpecial[] = {
    {69, {0x45, true}},    // Num Lock
    {96, {0x1C, true}},    // keypad Enter
    {97, {0x1D, true}},    // right Ctrl
    {98, {0x35, true}},    // keypad /
    {99, {0x37, true}},    // Print Screen
    {100, {0x38, true}},   // right Alt
    {102, {0x47, true}},   // Home
    {103, {0x48, true}},   // Up
    {104, {0x49, true}},   // Page Up
    {105, {0x4B, true}},   // Left
    {106, {0x4D, true}},   // Right
    {107, {0x4F, true}},   // End
    {108, {0x50, true}},   // Down
    {109, {0x51, true}},   // Page Down
    {110, {0x52, true}},   // Insert
    {111, {0x53, true}},   // Delete
    {119, {0x45, false}},  // Pause
    {125, {0x5B, true}},   // left Windows (Super)
    {126, {0x5C, true}},   // right Windows (Super)
    {127, {0x5D, true}},   // Menu (Application)
    {89, {0x73, false}},   // Ro (Japanese), / ? (Brazilian)
    {92, {0x79, false}},   // Henkan
    {93, {0x70, false}},   // Katakana/Hiragana
    {94, {0x7B, false}},   // Muhenkan
    {121, {0x7E, false}},  // keypad comma (Brazilian)
    {122, {0x72, false}},  // Hangul
    {123, {0x71, false}},  // Hanja
    {124, {0x7D, false}},  // Yen
    // F13 to F24
    {183, {0x64, false}},
    {184, {0x65, false}},
    {185, {0x66, false}},
    {186, {0x67, false}},
    {187, {0x68, false}},
    {188, {0x69, false}},
    {189, {0x6A, false}},
    {190, {0x6B, false}},
    {191, {0x6C, false}},
    {192, {0x6D, false}},
    {193, {0x6E, false}},
    {194, {0x76, false}},
};

// Set 1 equals the evdev code for these (84 and 85 are not keys of a PC keyboard).
bool IsIdentityCode(int code) {
    return (code >= 1 && code <= 83 && code != 69) || (code >= 86 && code <= 88);
}

}  // namespace

std::optional<ScanCode> EvdevToScanCode(int evdev) {
    for (const auto& e : kSpecial) {
        if (e.evdev == evdev) {
            return e.scan;
        }
    }
    if (IsIdentityCode(evdev)) {
        return ScanCode{static_cast<std::uint8_t>(evdev), false};
    }
    return std::nullopt;
}

std::optional<int> ScanCodeToEvdev(ScanCode scan) {
    for (const auto& e : kSpecial) {
        if (e.scan == scan) {
            return e.evdev;
        }
    }
    if (!scan.extended && IsIdentityCode(scan.code)) {
        return scan.code;
    }
    return std::nullopt;
}

}  // namespace quillpad
