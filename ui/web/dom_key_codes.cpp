#include "dom_key_codes.h"

namespace quillpad {
namespace {

struct DomKey {
    std::string_view code;
    ScanCode scan;
};

constexpr ScanCode Std(std::uint8_t code) {
    return ScanCode{code, false};
}
constexpr ScanCode Ext(std::uint8_t code) {
    return ScanCode{code, true};
}

// Every key of a PC keyboard by its UI Events name; the main name of a position comes first
// (OSLeft and OSRight are older browsers' names of the Windows keys).
constexpr DomKey kDomKeys[] = {
    {"Escape", Std(0x01)},
    {"Digit1", Std(0x02)},
    {"Digit2", Std(0x03)},
    {"Digit3", Std(0x04)},
    {"Digit4", Std(0x05)},
    {"Digit5", Std(0x06)},
    {"Digit6", Std(0x07)},
    {"Digit7", Std(0x08)},
    {"Digit8", Std(0x09)},
    {"Digit9", Std(0x0A)},
    {"Digit0", Std(0x0B)},
    {"Minus", Std(0x0C)},
    {"Equal", Std(0x0D)},
    {"Backspace", Std(0x0E)},
    {"Tab", Std(0x0F)},
    {"KeyQ", Std(0x10)},
    {"KeyW", Std(0x11)},
    {"KeyE", Std(0x12)},
    {"KeyR", Std(0x13)},
    {"KeyT", Std(0x14)},
    {"KeyY", Std(0x15)},
    {"KeyU", Std(0x16)},
    {"KeyI", Std(0x17)},
    {"KeyO", Std(0x18)},
    {"KeyP", Std(0x19)},
    {"BracketLeft", Std(0x1A)},
    {"BracketRight", Std(0x1B)},
    {"Enter", Std(0x1C)},
    {"ControlLeft", Std(0x1D)},
    {"KeyA", Std(0x1E)},
    {"KeyS", Std(0x1F)},
    {"KeyD", Std(0x20)},
    {"KeyF", Std(0x21)},
    {"KeyG", Std(0x22)},
    {"KeyH", Std(0x23)},
    {"KeyJ", Std(0x24)},
    {"KeyK", Std(0x25)},
    {"KeyL", Std(0x26)},
    {"Semicolon", Std(0x27)},
    {"Quote", Std(0x28)},
    {"Backquote", Std(0x29)},
    {"ShiftLeft", Std(0x2A)},
    {"Backslash", Std(0x2B)},
    {"KeyZ", Std(0x2C)},
    {"KeyX", Std(0x2D)},
    {"KeyC", Std(0x2E)},
    {"KeyV", Std(0x2F)},
    {"KeyB", Std(0x30)},
    {"KeyN", Std(0x31)},
    {"KeyM", Std(0x32)},
    {"Comma", Std(0x33)},
    {"Period", Std(0x34)},
    {"Slash", Std(0x35)},
    {"ShiftRight", Std(0x36)},
    {"NumpadMultiply", Std(0x37)},
    {"AltLeft", Std(0x38)},
    {"Space", Std(0x39)},
    {"CapsLock", Std(0x3A)},
    {"F1", Std(0x3B)},
    {"F2", Std(0x3C)},
    {"F3", Std(0x3D)},
    {"F4", Std(0x3E)},
    {"F5", Std(0x3F)},
    {"F6", Std(0x40)},
    {"F7", Std(0x41)},
    {"F8", Std(0x42)},
    {"F9", Std(0x43)},
    {"F10", Std(0x44)},
    {"Pause", Std(0x45)},
    {"ScrollLock", Std(0x46)},
    {"Numpad7", Std(0x47)},
    {"Numpad8", Std(0x48)},
    {"Numpad9", Std(0x49)},
    {"NumpadSubtract", Std(0x4A)},
    {"Numpad4", Std(0x4B)},
    {"Numpad5", Std(0x4C)},
    {"Numpad6", Std(0x4D)},
    {"NumpadAdd", Std(0x4E)},
    {"Numpad1", Std(0x4F)},
    {"Numpad2", Std(0x50)},
    {"Numpad3", Std(0x51)},
    {"Numpad0", Std(0x52)},
    {"NumpadDecimal", Std(0x53)},
    {"IntlBackslash", Std(0x56)},
    {"F11", Std(0x57)},
    {"F12", Std(0x58)},
    {"F13", Std(0x64)},
    {"F14", Std(0x65)},
    {"F15", Std(0x66)},
    {"F16", Std(0x67)},
    {"F17", Std(0x68)},
    {"F18", Std(0x69)},
    {"F19", Std(0x6A)},
    {"F20", Std(0x6B)},
    {"F21", Std(0x6C)},
    {"F22", Std(0x6D)},
    {"F23", Std(0x6E)},
    {"F24", Std(0x76)},
    // Keys only Japanese, Brazilian and Korean keyboards have.
    {"KanaMode", Std(0x70)},
    {"Lang2", Std(0x71)},
    {"Lang1", Std(0x72)},
    {"IntlRo", Std(0x73)},
    {"Convert", Std(0x79)},
    {"NonConvert", Std(0x7B)},
    {"IntlYen", Std(0x7D)},
    {"NumpadComma", Std(0x7E)},
    {"NumpadEnter", Ext(0x1C)},
    {"ControlRight", Ext(0x1D)},
    {"NumpadDivide", Ext(0x35)},
    {"PrintScreen", Ext(0x37)},
    {"AltRight", Ext(0x38)},
    {"NumLock", Ext(0x45)},
    {"Home", Ext(0x47)},
    {"ArrowUp", Ext(0x48)},
    {"PageUp", Ext(0x49)},
    {"ArrowLeft", Ext(0x4B)},
    {"ArrowRight", Ext(0x4D)},
    {"End", Ext(0x4F)},
    {"ArrowDown", Ext(0x50)},
    {"PageDown", Ext(0x51)},
    {"Insert", Ext(0x52)},
    {"Delete", Ext(0x53)},
    {"MetaLeft", Ext(0x5B)},
    {"MetaRight", Ext(0x5C)},
    {"ContextMenu", Ext(0x5D)},
    {"OSLeft", Ext(0x5B)},
    {"OSRight", Ext(0x5C)},
};

}  // namespace

std::optional<ScanCode> ScanCodeOfDomCode(std::string_view code) {
    for (const DomKey& key : kDomKeys) {
        if (key.code == code) {
            return key.scan;
        }
    }
    return std::nullopt;
}

std::string_view DomCodeOfScanCode(ScanCode scan) {
    for (const DomKey& key : kDomKeys) {
        if (key.scan == scan) {
            return key.code;
        }
    }
    return {};
}

}  // namespace quillpad
