#include "key_translation.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QString>

#include "scan_codes.h"

namespace quillpad {
namespace {

struct KeyEntry {
    int qtKey;  // 0: a key reached only through its scan code
    std::uint8_t vk;
    ScanCode scan;
};

constexpr ScanCode Ext(std::uint8_t code) {
    return ScanCode{code, true};
}
constexpr ScanCode Std(std::uint8_t code) {
    return ScanCode{code, false};
}

// Keys of the main block, by Qt key. The first entry for a scan code is the key at that
// position of a US keyboard; later ones are the other Qt keys that position produces (shifted
// US characters, right-hand modifiers), so a key without a scan code still finds its place.
constexpr KeyEntry kKeys[] = {
    {Qt::Key_Escape, 0x1B, Std(0x01)},
    {Qt::Key_1, 0x31, Std(0x02)},
    {Qt::Key_2, 0x32, Std(0x03)},
    {Qt::Key_3, 0x33, Std(0x04)},
    {Qt::Key_4, 0x34, Std(0x05)},
    {Qt::Key_5, 0x35, Std(0x06)},
    {Qt::Key_6, 0x36, Std(0x07)},
    {Qt::Key_7, 0x37, Std(0x08)},
    {Qt::Key_8, 0x38, Std(0x09)},
    {Qt::Key_9, 0x39, Std(0x0A)},
    {Qt::Key_0, 0x30, Std(0x0B)},
    {Qt::Key_Minus, 0xBD, Std(0x0C)},
    {Qt::Key_Equal, 0xBB, Std(0x0D)},
    {Qt::Key_Backspace, 0x08, Std(0x0E)},
    {Qt::Key_Tab, 0x09, Std(0x0F)},
    {Qt::Key_Backtab, 0x09, Std(0x0F)},
    {Qt::Key_Q, 0x51, Std(0x10)},
    {Qt::Key_W, 0x57, Std(0x11)},
    {Qt::Key_E, 0x45, Std(0x12)},
    {Qt::Key_R, 0x52, Std(0x13)},
    {Qt::Key_T, 0x54, Std(0x14)},
    {Qt::Key_Y, 0x59, Std(0x15)},
    {Qt::Key_U, 0x55, Std(0x16)},
    {Qt::Key_I, 0x49, Std(0x17)},
    {Qt::Key_O, 0x4F, Std(0x18)},
    {Qt::Key_P, 0x50, Std(0x19)},
    {Qt::Key_BracketLeft, 0xDB, Std(0x1A)},
    {Qt::Key_BracketRight, 0xDD, Std(0x1B)},
    {Qt::Key_Return, 0x0D, Std(0x1C)},
    {Qt::Key_Control, 0x11, Std(0x1D)},
    {Qt::Key_A, 0x41, Std(0x1E)},
    {Qt::Key_S, 0x53, Std(0x1F)},
    {Qt::Key_D, 0x44, Std(0x20)},
    {Qt::Key_F, 0x46, Std(0x21)},
    {Qt::Key_G, 0x47, Std(0x22)},
    {Qt::Key_H, 0x48, Std(0x23)},
    {Qt::Key_J, 0x4A, Std(0x24)},
    {Qt::Key_K, 0x4B, Std(0x25)},
    {Qt::Key_L, 0x4C, Std(0x26)},
    {Qt::Key_Semicolon, 0xBA, Std(0x27)},
    {Qt::Key_Apostrophe, 0xDE, Std(0x28)},
    {Qt::Key_QuoteLeft, 0xC0, Std(0x29)},
    {Qt::Key_Shift, 0x10, Std(0x2A)},
    {Qt::Key_Backslash, 0xDC, Std(0x2B)},
    {Qt::Key_Z, 0x5A, Std(0x2C)},
    {Qt::Key_X, 0x58, Std(0x2D)},
    {Qt::Key_C, 0x43, Std(0x2E)},
    {Qt::Key_V, 0x56, Std(0x2F)},
    {Qt::Key_B, 0x42, Std(0x30)},
    {Qt::Key_N, 0x4E, Std(0x31)},
    {Qt::Key_M, 0x4D, Std(0x32)},
    {Qt::Key_Comma, 0xBC, Std(0x33)},
    {Qt::Key_Period, 0xBE, Std(0x34)},
    {Qt::Key_Slash, 0xBF, Std(0x35)},
    {0, 0x10, Std(0x36)},  // right Shift
    {Qt::Key_Alt, 0x12, Std(0x38)},
    {Qt::Key_Space, 0x20, Std(0x39)},
    {Qt::Key_CapsLock, 0x14, Std(0x3A)},
    {Qt::Key_F1, 0x70, Std(0x3B)},
    {Qt::Key_F2, 0x71, Std(0x3C)},
    {Qt::Key_F3, 0x72, Std(0x3D)},
    {Qt::Key_F4, 0x73, Std(0x3E)},
    {Qt::Key_F5, 0x74, Std(0x3F)},
    {Qt::Key_F6, 0x75, Std(0x40)},
    {Qt::Key_F7, 0x76, Std(0x41)},
    {Qt::Key_F8, 0x77, Std(0x42)},
    {Qt::Key_F9, 0x78, Std(0x43)},
    {Qt::Key_F10, 0x79, Std(0x44)},
    {Qt::Key_Pause, 0x13, Std(0x45)},
    {Qt::Key_ScrollLock, 0x91, Std(0x46)},
    {0, 0xE2, Std(0x56)},  // the 102nd key, between left Shift and Z
    {Qt::Key_F11, 0x7A, Std(0x57)},
    {Qt::Key_F12, 0x7B, Std(0x58)},
    {Qt::Key_F13, 0x7C, Std(0x64)},
    {Qt::Key_F14, 0x7D, Std(0x65)},
    {Qt::Key_F15, 0x7E, Std(0x66)},
    {Qt::Key_F16, 0x7F, Std(0x67)},
    {Qt::Key_F17, 0x80, Std(0x68)},
    {Qt::Key_F18, 0x81, Std(0x69)},
    {Qt::Key_F19, 0x82, Std(0x6A)},
    {Qt::Key_F20, 0x83, Std(0x6B)},
    {Qt::Key_F21, 0x84, Std(0x6C)},
    {Qt::Key_F22, 0x85, Std(0x6D)},
    {Qt::Key_F23, 0x86, Std(0x6E)},
    {Qt::Key_F24, 0x87, Std(0x76)},
    {0, 0x11, Ext(0x1D)},  // right Ctrl
    {Qt::Key_Print, 0x2C, Ext(0x37)},
    {Qt::Key_SysReq, 0x2C, Ext(0x37)},
    {Qt::Key_AltGr, 0x12, Ext(0x38)},
    {Qt::Key_NumLock, 0x90, Ext(0x45)},
    {Qt::Key_Home, 0x24, Ext(0x47)},
    {Qt::Key_Up, 0x26, Ext(0x48)},
    {Qt::Key_PageUp, 0x21, Ext(0x49)},
    {Qt::Key_Left, 0x25, Ext(0x4B)},
    {Qt::Key_Right, 0x27, Ext(0x4D)},
    {Qt::Key_End, 0x23, Ext(0x4F)},
    {Qt::Key_Down, 0x28, Ext(0x50)},
    {Qt::Key_PageDown, 0x22, Ext(0x51)},
    {Qt::Key_Insert, 0x2D, Ext(0x52)},
    {Qt::Key_Delete, 0x2E, Ext(0x53)},
    {Qt::Key_Meta, 0x5B, Ext(0x5B)},
    {Qt::Key_Super_L, 0x5B, Ext(0x5B)},
    {Qt::Key_Super_R, 0x5C, Ext(0x5C)},
    {Qt::Key_Menu, 0x5D, Ext(0x5D)},
    // Shifted characters of the US layout, at their keys' positions.
    {Qt::Key_Exclam, 0x31, Std(0x02)},
    {Qt::Key_At, 0x32, Std(0x03)},
    {Qt::Key_NumberSign, 0x33, Std(0x04)},
    {Qt::Key_Dollar, 0x34, Std(0x05)},
    {Qt::Key_Percent, 0x35, Std(0x06)},
    {Qt::Key_AsciiCircum, 0x36, Std(0x07)},
    {Qt::Key_Ampersand, 0x37, Std(0x08)},
    {Qt::Key_Asterisk, 0x38, Std(0x09)},
    {Qt::Key_ParenLeft, 0x39, Std(0x0A)},
    {Qt::Key_ParenRight, 0x30, Std(0x0B)},
    {Qt::Key_Underscore, 0xBD, Std(0x0C)},
    {Qt::Key_Plus, 0xBB, Std(0x0D)},
    {Qt::Key_BraceLeft, 0xDB, Std(0x1A)},
    {Qt::Key_BraceRight, 0xDD, Std(0x1B)},
    {Qt::Key_Colon, 0xBA, Std(0x27)},
    {Qt::Key_QuoteDbl, 0xDE, Std(0x28)},
    {Qt::Key_AsciiTilde, 0xC0, Std(0x29)},
    {Qt::Key_Bar, 0xDC, Std(0x2B)},
    {Qt::Key_Less, 0xBC, Std(0x33)},
    {Qt::Key_Greater, 0xBE, Std(0x34)},
    {Qt::Key_Question, 0xBF, Std(0x35)},
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

template <std::size_t N>
const KeyEntry* FindByKey(const KeyEntry (&table)[N], int qtKey) {
    for (const auto& e : table) {
        if (e.qtKey == qtKey) {
            return &e;
        }
    }
    return nullptr;
}

template <std::size_t N>
const KeyEntry* FindByScan(const KeyEntry (&table)[N], ScanCode scan, int qtKey) {
    const KeyEntry* first = nullptr;
    for (const auto& e : table) {
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

bool IsLetterKey(int qtKey) {
    return qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z;
}

// Letters and the punctuation keys of the main block, whose characters depend on the layout.
bool IsCharacterBlockVk(std::uint8_t vk) {
    return (vk >= 0x41 && vk <= 0x5A) || (vk >= 0xBA && vk <= 0xE2);
}

WinKeyStroke Stroke(std::uint8_t vk, ScanCode scan) {
    return WinKeyStroke{vk, MakeKeyLParam(scan)};
}

// The key at a known position. The position decides, except that a letter the layout puts
// on a letter or punctuation key keeps its own code (as Windows gives VK_A for the A of an
// AZERTY keyboard), and the keypad keys follow Num Lock, which only the Qt key shows.
std::optional<WinKeyStroke> FromScanCode(ScanCode scan, int qtKey) {
    if (const KeyEntry* e = FindByScan(kKeypad, scan, qtKey)) {
        return Stroke(e->vk, scan);
    }
    if (const KeyEntry* e = FindByScan(kKeys, scan, qtKey)) {
        if (IsCharacterBlockVk(e->vk) && IsLetterKey(qtKey)) {
            return Stroke(static_cast<std::uint8_t>(qtKey), scan);
        }
        return Stroke(e->vk, scan);
    }
    return std::nullopt;
}

std::optional<WinKeyStroke> FromQtKey(int qtKey, Qt::KeyboardModifiers modifiers) {
    if (qtKey == 0) {
        return std::nullopt;
    }
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    const KeyEntry* e = keypad ? FindByKey(kKeypad, qtKey) : FindByKey(kKeys, qtKey);
    if (e == nullptr) {
        e = keypad ? FindByKey(kKeys, qtKey) : FindByKey(kKeypad, qtKey);
    }
    if (e == nullptr) {
        return std::nullopt;
    }
    return Stroke(e->vk, e->scan);
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
    const bool xcb = QGuiApplication::platformName() == QLatin1String("xcb");
    return TranslateKeyEvent(e.key(), e.modifiers(), e.nativeScanCode(), xcb);
}

}  // namespace quillpad
