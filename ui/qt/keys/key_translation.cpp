#include "key_translation.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QString>

#include "scan_codes.h"
#include "us_key_positions.h"

namespace quillpad {
namespace {

struct KeyEntry {
    int qtKey;
    std::uint8_t vk;
    ScanCode scan;
};

constexpr ScanCode Ext(std::uint8_t code) {
    return ScanCode{code, true};
}
constexpr ScanCode Std(std::uint8_t code) {
    return ScanCode{code, false};
}

// Where a Qt key sits on a US keyboard, for events without a scan code (the offscreen platform,
// QTest): every key of the main block, and the shifted US characters at their keys' positions.
// The virtual key is the one the US layout gives that position.
struct QtKeyPosition {
    int qtKey;
    ScanCode scan;
};

constexpr QtKeyPosition kKeys[] = {
    {Qt::Key_Escape, Std(0x01)},
    {Qt::Key_1, Std(0x02)},
    {Qt::Key_2, Std(0x03)},
    {Qt::Key_3, Std(0x04)},
    {Qt::Key_4, Std(0x05)},
    {Qt::Key_5, Std(0x06)},
    {Qt::Key_6, Std(0x07)},
    {Qt::Key_7, Std(0x08)},
    {Qt::Key_8, Std(0x09)},
    {Qt::Key_9, Std(0x0A)},
    {Qt::Key_0, Std(0x0B)},
    {Qt::Key_Minus, Std(0x0C)},
    {Qt::Key_Equal, Std(0x0D)},
    {Qt::Key_Backspace, Std(0x0E)},
    {Qt::Key_Tab, Std(0x0F)},
    {Qt::Key_Backtab, Std(0x0F)},
    {Qt::Key_Q, Std(0x10)},
    {Qt::Key_W, Std(0x11)},
    {Qt::Key_E, Std(0x12)},
    {Qt::Key_R, Std(0x13)},
    {Qt::Key_T, Std(0x14)},
    {Qt::Key_Y, Std(0x15)},
    {Qt::Key_U, Std(0x16)},
    {Qt::Key_I, Std(0x17)},
    {Qt::Key_O, Std(0x18)},
    {Qt::Key_P, Std(0x19)},
    {Qt::Key_BracketLeft, Std(0x1A)},
    {Qt::Key_BracketRight, Std(0x1B)},
    {Qt::Key_Return, Std(0x1C)},
    {Qt::Key_Control, Std(0x1D)},
    {Qt::Key_A, Std(0x1E)},
    {Qt::Key_S, Std(0x1F)},
    {Qt::Key_D, Std(0x20)},
    {Qt::Key_F, Std(0x21)},
    {Qt::Key_G, Std(0x22)},
    {Qt::Key_H, Std(0x23)},
    {Qt::Key_J, Std(0x24)},
    {Qt::Key_K, Std(0x25)},
    {Qt::Key_L, Std(0x26)},
    {Qt::Key_Semicolon, Std(0x27)},
    {Qt::Key_Apostrophe, Std(0x28)},
    {Qt::Key_QuoteLeft, Std(0x29)},
    {Qt::Key_Shift, Std(0x2A)},
    {Qt::Key_Backslash, Std(0x2B)},
    {Qt::Key_Z, Std(0x2C)},
    {Qt::Key_X, Std(0x2D)},
    {Qt::Key_C, Std(0x2E)},
    {Qt::Key_V, Std(0x2F)},
    {Qt::Key_B, Std(0x30)},
    {Qt::Key_N, Std(0x31)},
    {Qt::Key_M, Std(0x32)},
    {Qt::Key_Comma, Std(0x33)},
    {Qt::Key_Period, Std(0x34)},
    {Qt::Key_Slash, Std(0x35)},
    {Qt::Key_Alt, Std(0x38)},
    {Qt::Key_Space, Std(0x39)},
    {Qt::Key_CapsLock, Std(0x3A)},
    {Qt::Key_F1, Std(0x3B)},
    {Qt::Key_F2, Std(0x3C)},
    {Qt::Key_F3, Std(0x3D)},
    {Qt::Key_F4, Std(0x3E)},
    {Qt::Key_F5, Std(0x3F)},
    {Qt::Key_F6, Std(0x40)},
    {Qt::Key_F7, Std(0x41)},
    {Qt::Key_F8, Std(0x42)},
    {Qt::Key_F9, Std(0x43)},
    {Qt::Key_F10, Std(0x44)},
    {Qt::Key_Pause, Std(0x45)},
    {Qt::Key_ScrollLock, Std(0x46)},
    {Qt::Key_F11, Std(0x57)},
    {Qt::Key_F12, Std(0x58)},
    {Qt::Key_F13, Std(0x64)},
    {Qt::Key_F14, Std(0x65)},
    {Qt::Key_F15, Std(0x66)},
    {Qt::Key_F16, Std(0x67)},
    {Qt::Key_F17, Std(0x68)},
    {Qt::Key_F18, Std(0x69)},
    {Qt::Key_F19, Std(0x6A)},
    {Qt::Key_F20, Std(0x6B)},
    {Qt::Key_F21, Std(0x6C)},
    {Qt::Key_F22, Std(0x6D)},
    {Qt::Key_F23, Std(0x6E)},
    {Qt::Key_F24, Std(0x76)},
    {Qt::Key_Print, Ext(0x37)},
    {Qt::Key_SysReq, Ext(0x37)},
    {Qt::Key_AltGr, Ext(0x38)},
    {Qt::Key_NumLock, Ext(0x45)},
    {Qt::Key_Home, Ext(0x47)},
    {Qt::Key_Up, Ext(0x48)},
    {Qt::Key_PageUp, Ext(0x49)},
    {Qt::Key_Left, Ext(0x4B)},
    {Qt::Key_Right, Ext(0x4D)},
    {Qt::Key_End, Ext(0x4F)},
    {Qt::Key_Down, Ext(0x50)},
    {Qt::Key_PageDown, Ext(0x51)},
    {Qt::Key_Insert, Ext(0x52)},
    {Qt::Key_Delete, Ext(0x53)},
    {Qt::Key_Meta, Ext(0x5B)},
    {Qt::Key_Super_L, Ext(0x5B)},
    {Qt::Key_Super_R, Ext(0x5C)},
    {Qt::Key_Menu, Ext(0x5D)},
    // Shifted characters of the US layout, at their keys' positions.
    {Qt::Key_Exclam, Std(0x02)},
    {Qt::Key_At, Std(0x03)},
    {Qt::Key_NumberSign, Std(0x04)},
    {Qt::Key_Dollar, Std(0x05)},
    {Qt::Key_Percent, Std(0x06)},
    {Qt::Key_AsciiCircum, Std(0x07)},
    {Qt::Key_Ampersand, Std(0x08)},
    {Qt::Key_Asterisk, Std(0x09)},
    {Qt::Key_ParenLeft, Std(0x0A)},
    {Qt::Key_ParenRight, Std(0x0B)},
    {Qt::Key_Underscore, Std(0x0C)},
    {Qt::Key_Plus, Std(0x0D)},
    {Qt::Key_BraceLeft, Std(0x1A)},
    {Qt::Key_BraceRight, Std(0x1B)},
    {Qt::Key_Colon, Std(0x27)},
    {Qt::Key_QuoteDbl, Std(0x28)},
    {Qt::Key_AsciiTilde, Std(0x29)},
    {Qt::Key_Bar, Std(0x2B)},
    {Qt::Key_Less, Std(0x33)},
    {Qt::Key_Greater, Std(0x34)},
    {Qt::Key_Question, Std(0x35)},
};

// Keypad keys, as Qt reports them with Qt::KeypadModifier. The first entry for a scan code is
// the key with Num Lock on; the navigation keys are the same positions with Num Lock off.
constexpr KeyEntry kKeypad[] = {
    {Qt::Key_Asterisk, 0x6A, Std(0x37)}, {Qt::Key_7, 0x67, Std(0x47)},
    {Qt::Key_8, 0x68, Std(0x48)},        {Qt::Key_9, 0x69, Std(0x49)},
    {Qt::Key_Minus, 0x6D, Std(0x4A)},    {Qt::Key_4, 0x64, Std(0x4B)},
    {Qt::Key_5, 0x65, Std(0x4C)},        {Qt::Key_6, 0x66, Std(0x4D)},
    {Qt::Key_Plus, 0x6B, Std(0x4E)},     {Qt::Key_1, 0x61, Std(0x4F)},
    {Qt::Key_2, 0x62, Std(0x50)},        {Qt::Key_3, 0x63, Std(0x51)},
    {Qt::Key_0, 0x60, Std(0x52)},        {Qt::Key_Period, 0x6E, Std(0x53)},
    {Qt::Key_Comma, 0x6E, Std(0x53)},  // layouts with a decimal comma
    {Qt::Key_Slash, 0x6F, Ext(0x35)},    {Qt::Key_Enter, 0x0D, Ext(0x1C)},
    {Qt::Key_Home, 0x24, Std(0x47)},     {Qt::Key_Up, 0x26, Std(0x48)},
    {Qt::Key_PageUp, 0x21, Std(0x49)},   {Qt::Key_Left, 0x25, Std(0x4B)},
    {Qt::Key_Clear, 0x0C, Std(0x4C)},    {Qt::Key_Right, 0x27, Std(0x4D)},
    {Qt::Key_End, 0x23, Std(0x4F)},      {Qt::Key_Down, 0x28, Std(0x50)},
    {Qt::Key_PageDown, 0x22, Std(0x51)}, {Qt::Key_Insert, 0x2D, Std(0x52)},
    {Qt::Key_Delete, 0x2E, Std(0x53)},
};

const KeyEntry* FindKeypadByKey(int qtKey) {
    for (const auto& e : kKeypad) {
        if (e.qtKey == qtKey) {
            return &e;
        }
    }
    return nullptr;
}

const QtKeyPosition* FindMainByKey(int qtKey) {
    for (const auto& e : kKeys) {
        if (e.qtKey == qtKey) {
            return &e;
        }
    }
    return nullptr;
}

// The keypad key at scan: the one the Qt key names (Num Lock off gives the navigation keys),
// else the first, the key with Num Lock on.
const KeyEntry* FindKeypadByScan(ScanCode scan, int qtKey) {
    const KeyEntry* first = nullptr;
    for (const auto& e : kKeypad) {
        if (e.scan == scan) {
            if (e.qtKey == qtKey) {
                return &e;
            }
            if (first == nullptr) {
                first = &e;
            }
        }
    }
    return first;
}

WinKeyStroke Stroke(std::uint8_t vk, ScanCode scan) {
    return WinKeyStroke{vk, MakeKeyLParam(scan)};
}

std::optional<WinKeyStroke> AtPosition(ScanCode scan) {
    if (const auto vk = UsVkAtScanCode(scan)) {
        return Stroke(*vk, scan);
    }
    return std::nullopt;
}

// The key at a known position is the key the US layout has there, whatever the active layout
// types on it: the keypad stores positions. Only the keypad keys follow Num Lock, which only the
// Qt key shows.
std::optional<WinKeyStroke> FromScanCode(ScanCode scan, int qtKey) {
    if (const KeyEntry* e = FindKeypadByScan(scan, qtKey)) {
        return Stroke(e->vk, scan);
    }
    return AtPosition(scan);
}

std::optional<WinKeyStroke> FromQtKey(int qtKey, Qt::KeyboardModifiers modifiers) {
    if (qtKey == 0) {
        return std::nullopt;
    }
    const KeyEntry* pad = FindKeypadByKey(qtKey);
    const QtKeyPosition* main = FindMainByKey(qtKey);
    if (pad != nullptr && (modifiers.testFlag(Qt::KeypadModifier) || main == nullptr)) {
        return Stroke(pad->vk, pad->scan);
    }
    if (main != nullptr) {
        return AtPosition(main->scan);
    }
    return std::nullopt;
}

}  // namespace

std::optional<WinKeyStroke> TranslateKeyEvent(int qtKey, Qt::KeyboardModifiers modifiers,
                                              quint32 nativeScanCode, bool scanIsXKeycode) {
    if (scanIsXKeycode && nativeScanCode > kXKeycodeOffset) {
        const int evdev = static_cast<int>(nativeScanCode - kXKeycodeOffset);
        if (const auto scan = EvdevToScanCode(evdev)) {
            if (auto stroke = FromScanCode(*scan, qtKey)) {
                return stroke;
            }
        }
    }
    return FromQtKey(qtKey, modifiers);
}

std::optional<WinKeyStroke> TranslateKeyEvent(const QKeyEvent& e) {
    // Both X11 and Wayland clients receive XKB keycodes (evdev code + 8) as native scan codes.
    const QString platform = QGuiApplication::platformName();
    const bool xkb =
        platform == QLatin1String("xcb") || platform.startsWith(QLatin1String("wayland"));
    return TranslateKeyEvent(e.key(), e.modifiers(), e.nativeScanCode(), xkb);
}

}  // namespace quillpad
