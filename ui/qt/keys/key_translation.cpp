#include "key_translation.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QString>
#include <span>

#include "scan_codes.h"
#include "us_key_positions.h"

namespace quillpad {
namespace {

// Where a Qt key sits on a US keyboard, for events without a scan code (the offscreen platform,
// QTest): every key of the main block but the character keys, whose Qt keys are their US
// characters (UsCharacterKeys), plain or shifted. The virtual key is the one the US layout
// gives that position.
struct QtKeyPosition {
    int qtKey;
    ScanCode scan;
};

constexpr QtKeyPosition kKeys[] = {
    {Qt::Key_Escape, Std(0x01)},     {Qt::Key_Backspace, Std(0x0E)}, {Qt::Key_Tab, Std(0x0F)},
    {Qt::Key_Backtab, Std(0x0F)},    {Qt::Key_Return, Std(0x1C)},    {Qt::Key_Control, Std(0x1D)},
    {Qt::Key_Shift, Std(0x2A)},      {Qt::Key_Alt, Std(0x38)},       {Qt::Key_Space, Std(0x39)},
    {Qt::Key_CapsLock, Std(0x3A)},   {Qt::Key_F1, Std(0x3B)},        {Qt::Key_F2, Std(0x3C)},
    {Qt::Key_F3, Std(0x3D)},         {Qt::Key_F4, Std(0x3E)},        {Qt::Key_F5, Std(0x3F)},
    {Qt::Key_F6, Std(0x40)},         {Qt::Key_F7, Std(0x41)},        {Qt::Key_F8, Std(0x42)},
    {Qt::Key_F9, Std(0x43)},         {Qt::Key_F10, Std(0x44)},       {Qt::Key_Pause, Std(0x45)},
    {Qt::Key_ScrollLock, Std(0x46)}, {Qt::Key_F11, Std(0x57)},       {Qt::Key_F12, Std(0x58)},
    {Qt::Key_F13, Std(0x64)},        {Qt::Key_F14, Std(0x65)},       {Qt::Key_F15, Std(0x66)},
    {Qt::Key_F16, Std(0x67)},        {Qt::Key_F17, Std(0x68)},       {Qt::Key_F18, Std(0x69)},
    {Qt::Key_F19, Std(0x6A)},        {Qt::Key_F20, Std(0x6B)},       {Qt::Key_F21, Std(0x6C)},
    {Qt::Key_F22, Std(0x6D)},        {Qt::Key_F23, Std(0x6E)},       {Qt::Key_F24, Std(0x76)},
    {Qt::Key_Print, Ext(0x37)},      {Qt::Key_SysReq, Ext(0x37)},    {Qt::Key_AltGr, Ext(0x38)},
    {Qt::Key_NumLock, Ext(0x45)},    {Qt::Key_Home, Ext(0x47)},      {Qt::Key_Up, Ext(0x48)},
    {Qt::Key_PageUp, Ext(0x49)},     {Qt::Key_Left, Ext(0x4B)},      {Qt::Key_Right, Ext(0x4D)},
    {Qt::Key_End, Ext(0x4F)},        {Qt::Key_Down, Ext(0x50)},      {Qt::Key_PageDown, Ext(0x51)},
    {Qt::Key_Insert, Ext(0x52)},     {Qt::Key_Delete, Ext(0x53)},    {Qt::Key_Meta, Ext(0x5B)},
    {Qt::Key_Super_L, Ext(0x5B)},    {Qt::Key_Super_R, Ext(0x5C)},   {Qt::Key_Menu, Ext(0x5D)},
};

// Keys of Japanese and Korean keyboards.
constexpr QtKeyPosition kAsianKeys[] = {
    {Qt::Key_Hiragana_Katakana, Std(0x70)},
    {Qt::Key_Hangul_Hanja, Std(0x71)},
    {Qt::Key_Hangul, Std(0x72)},
    {Qt::Key_Henkan, Std(0x79)},
    {Qt::Key_Muhenkan, Std(0x7B)},
    {Qt::Key_yen, Std(0x7D)},
};

// Keypad keys, as Qt reports them with Qt::KeypadModifier. The first entry for a scan code is
// the key with Num Lock on; the navigation keys are the same positions with Num Lock off. The
// virtual key is the one the US layout gives the position in that state.
struct KeypadKey {
    int qtKey;
    ScanCode scan;
    bool numLockOff = false;
};

constexpr KeypadKey kKeypad[] = {
    {Qt::Key_Asterisk, Std(0x37)},
    {Qt::Key_7, Std(0x47)},
    {Qt::Key_8, Std(0x48)},
    {Qt::Key_9, Std(0x49)},
    {Qt::Key_Minus, Std(0x4A)},
    {Qt::Key_4, Std(0x4B)},
    {Qt::Key_5, Std(0x4C)},
    {Qt::Key_6, Std(0x4D)},
    {Qt::Key_Plus, Std(0x4E)},
    {Qt::Key_1, Std(0x4F)},
    {Qt::Key_2, Std(0x50)},
    {Qt::Key_3, Std(0x51)},
    {Qt::Key_0, Std(0x52)},
    {Qt::Key_Period, Std(0x53)},
    {Qt::Key_Comma, Std(0x53)},  // layouts with a decimal comma
    {Qt::Key_Slash, Ext(0x35)},
    {Qt::Key_Enter, Ext(0x1C)},
    {Qt::Key_Home, Std(0x47), true},
    {Qt::Key_Up, Std(0x48), true},
    {Qt::Key_PageUp, Std(0x49), true},
    {Qt::Key_Left, Std(0x4B), true},
    {Qt::Key_Clear, Std(0x4C), true},
    {Qt::Key_Right, Std(0x4D), true},
    {Qt::Key_End, Std(0x4F), true},
    {Qt::Key_Down, Std(0x50), true},
    {Qt::Key_PageDown, Std(0x51), true},
    {Qt::Key_Insert, Std(0x52), true},
    {Qt::Key_Delete, Std(0x53), true},
};

std::uint8_t VkOf(const KeypadKey& key) {
    const auto vk = key.numLockOff ? UsNumLockOffVkAtScanCode(key.scan) : UsVkAtScanCode(key.scan);
    return vk.value_or(0);
}

const KeypadKey* FindKeypadByKey(int qtKey) {
    for (const auto& e : kKeypad) {
        if (e.qtKey == qtKey) {
            return &e;
        }
    }
    return nullptr;
}

// The position of a Qt key outside the keypad: a key of kKeys, or the character key whose US
// character, plain or shifted, the Qt key is.
std::optional<ScanCode> FindMainByKey(int qtKey) {
    for (const auto& table : {std::span<const QtKeyPosition>(kKeys), {kAsianKeys}}) {
        for (const auto& e : table) {
            if (e.qtKey == qtKey) {
                return e.scan;
            }
        }
    }
    for (const UsCharacterKey& c : UsCharacterKeys()) {
        if (qtKey == static_cast<unsigned char>(c.character) ||
            qtKey == static_cast<unsigned char>(c.shifted)) {
            return c.scan;
        }
    }
    return std::nullopt;
}

// The keypad key at scan: the one the Qt key names (Num Lock off gives the navigation keys),
// else the first, the key with Num Lock on.
const KeypadKey* FindKeypadByScan(ScanCode scan, int qtKey) {
    const KeypadKey* first = nullptr;
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
    if (const KeypadKey* e = FindKeypadByScan(scan, qtKey)) {
        return Stroke(VkOf(*e), scan);
    }
    return AtPosition(scan);
}

std::optional<WinKeyStroke> FromQtKey(int qtKey, Qt::KeyboardModifiers modifiers) {
    if (qtKey == 0) {
        return std::nullopt;
    }
    const KeypadKey* pad = FindKeypadByKey(qtKey);
    const std::optional<ScanCode> main = FindMainByKey(qtKey);
    if (pad != nullptr && (modifiers.testFlag(Qt::KeypadModifier) || !main)) {
        return Stroke(VkOf(*pad), pad->scan);
    }
    if (main) {
        return AtPosition(*main);
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
