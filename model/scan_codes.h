// PC scan codes (set 1, as Windows puts them in a key message's lParam) and their Linux
// evdev key codes. An X keycode is the evdev code + 8.
#pragma once

#include <cstdint>
#include <optional>

namespace quillpad {

struct ScanCode {
    std::uint8_t code = 0;  // set-1 make code, without the E0 prefix
    bool extended = false;  // E0-prefixed: the extended-key flag, bit 24 of lParam

    friend bool operator==(const ScanCode&, const ScanCode&) = default;
};

// A position without and with the E0 prefix, for the key tables.
inline constexpr ScanCode Std(std::uint8_t code) {
    return ScanCode{code, false};
}
inline constexpr ScanCode Ext(std::uint8_t code) {
    return ScanCode{code, true};
}

// An X (XKB) keycode is the evdev code plus this.
inline constexpr int kXKeycodeOffset = 8;

std::optional<ScanCode> EvdevToScanCode(int evdev);
std::optional<int> ScanCodeToEvdev(ScanCode scan);

// A key-down lParam: repeat count 1 in bits 0-15, scan code in bits 16-23, extended flag in
// bit 24.
inline constexpr std::uint32_t MakeKeyLParam(ScanCode scan) {
    return 1u | (std::uint32_t{scan.code} << 16) | (scan.extended ? 1u << 24 : 0u);
}

inline constexpr ScanCode ScanCodeFromLParam(std::uint32_t lParam) {
    return ScanCode{static_cast<std::uint8_t>(lParam >> 16), ((lParam >> 24) & 1u) != 0};
}

}  // namespace quillpad
