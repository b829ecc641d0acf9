#include "key_translation.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <ostream>

#include "scan_codes.h"

namespace quillpad {

void PrintTo(const WinKeyStroke& s, std::ostream* os) {
    *os << "{vk 0x" << std::hex << int{s.vk} << ", lParam 0x" << s.lParam << "}";
}

namespace {

constexpr Qt::KeyboardModifiers kNone = Qt::NoModifier;
constexpr Qt::KeyboardModifiers kPad = Qt::KeypadModifier;

struct Case {
    const char* what;
    int qtKey;
    Qt::KeyboardModifiers modifiers;
    quint32 xKeycode;  // 0: the platform gave none
    std::optional<WinKeyStroke> expected;
};

std::optional<WinKeyStroke> K(std::uint8_t vk, std::uint32_t lParam) {
    return WinKeyStroke{vk, lParam};
}

void CheckCases(const std::vector<Case>& cases) {
    for (const auto& c : cases) {
        EXPECT_EQ(TranslateKeyEvent(c.qtKey, c.modifiers, c.xKeycode, true), c.expected) << c.what;
    }
}

TEST(TranslateKeyEvent, KeysWithoutScanCodeAreDerivedFromTheQtKey) {
    CheckCases({
        {"A", Qt::Key_A, kNone, 0, K(0x41, 0x001E0001)},
        {"Ctrl+Shift+Z", Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, 0,
         K(0x5A, 0x002C0001)},
        {"1", Qt::Key_1, kNone, 0, K(0x31, 0x00020001)},
        {"0", Qt::Key_0, kNone, 0, K(0x30, 0x000B0001)},
        {"Shift+1 gives !", Qt::Key_Exclam, Qt::ShiftModifier, 0, K(0x31, 0x00020001)},
        {"Shift+0 gives )", Qt::Key_ParenRight, Qt::ShiftModifier, 0, K(0x30, 0x000B0001)},
        {"F1", Qt::Key_F1, kNone, 0, K(0x70, 0x003B0001)},
        {"F10", Qt::Key_F10, kNone, 0, K(0x79, 0x00440001)},
        {"F11", Qt::Key_F11, kNone, 0, K(0x7A, 0x00570001)},
        {"F12", Qt::Key_F12, kNone, 0, K(0x7B, 0x00580001)},
        {"F13", Qt::Key_F13, kNone, 0, K(0x7C, 0x00640001)},
        {"F24", Qt::Key_F24, kNone, 0, K(0x87, 0x00760001)},
        {";", Qt::Key_Semicolon, kNone, 0, K(0xBA, 0x00270001)},
        {"=", Qt::Key_Equal, kNone, 0, K(0xBB, 0x000D0001)},
        {"+ is Shift+=", Qt::Key_Plus, kNone, 0, K(0xBB, 0x000D0001)},
        {"`", Qt::Key_QuoteLeft, kNone, 0, K(0xC0, 0x00290001)},
        {"~", Qt::Key_AsciiTilde, kNone, 0, K(0xC0, 0x00290001)},
        {"[", Qt::Key_BracketLeft, kNone, 0, K(0xDB, 0x001A0001)},
        {"\\", Qt::Key_Backslash, kNone, 0, K(0xDC, 0x002B0001)},
        {"]", Qt::Key_BracketRight, kNone, 0, K(0xDD, 0x001B0001)},
        {"'", Qt::Key_Apostrophe, kNone, 0, K(0xDE, 0x00280001)},
        {"?", Qt::Key_Question, kNone, 0, K(0xBF, 0x00350001)},
        {"Shift", Qt::Key_Shift, kNone, 0, K(0x10, 0x002A0001)},
        {"Ctrl", Qt::Key_Control, Qt::ControlModifier, 0, K(0x11, 0x001D0001)},
        {"Alt", Qt::Key_Alt, Qt::AltModifier, 0, K(0x12, 0x00380001)},
        {"AltGr", Qt::Key_AltGr, kNone, 0, K(0x12, 0x01380001)},
        {"Meta is the left Windows key", Qt::Key_Meta, kNone, 0, K(0x5B, 0x015B0001)},
        {"Super_L", Qt::Key_Super_L, kNone, 0, K(0x5B, 0x015B0001)},
        {"Super_R", Qt::Key_Super_R, kNone, 0, K(0x5C, 0x015C0001)},
        {"Menu", Qt::Key_Menu, kNone, 0, K(0x5D, 0x015D0001)},
        {"Print", Qt::Key_Print, kNone, 0, K(0x2C, 0x01370001)},
        {"Pause", Qt::Key_Pause, kNone, 0, K(0x13, 0x00450001)},
        {"Num Lock", Qt::Key_NumLock, kNone, 0, K(0x90, 0x01450001)},
        {"Scroll Lock", Qt::Key_ScrollLock, kNone, 0, K(0x91, 0x00460001)},
        {"Caps Lock", Qt::Key_CapsLock, kNone, 0, K(0x14, 0x003A0001)},
        {"Escape", Qt::Key_Escape, kNone, 0, K(0x1B, 0x00010001)},
        {"Tab", Qt::Key_Tab, kNone, 0, K(0x09, 0x000F0001)},
        {"Backtab", Qt::Key_Backtab, Qt::ShiftModifier, 0, K(0x09, 0x000F0001)},
        {"Return", Qt::Key_Return, kNone, 0, K(0x0D, 0x001C0001)},
        {"Enter without keypad flag", Qt::Key_Enter, kNone, 0, K(0x0D, 0x011C0001)},
        {"Space", Qt::Key_Space, kNone, 0, K(0x20, 0x00390001)},
        {"Backspace", Qt::Key_Backspace, kNone, 0, K(0x08, 0x000E0001)},
        {"Insert", Qt::Key_Insert, kNone, 0, K(0x2D, 0x01520001)},
        {"Delete", Qt::Key_Delete, kNone, 0, K(0x2E, 0x01530001)},
        {"Home", Qt::Key_Home, kNone, 0, K(0x24, 0x01470001)},
        {"End", Qt::Key_End, kNone, 0, K(0x23, 0x014F0001)},
        {"Page Up", Qt::Key_PageUp, kNone, 0, K(0x21, 0x01490001)},
        {"Page Down", Qt::Key_PageDown, kNone, 0, K(0x22, 0x01510001)},
        {"Left", Qt::Key_Left, kNone, 0, K(0x25, 0x014B0001)},
        {"Up", Qt::Key_Up, kNone, 0, K(0x26, 0x01480001)},
        {"Right", Qt::Key_Right, kNone, 0, K(0x27, 0x014D0001)},
        {"Down", Qt::Key_Down, kNone, 0, K(0x28, 0x01500001)},
    });
}

TEST(TranslateKeyEvent, KeypadKeysFollowTheKeypadFlagAndNumLock) {
    CheckCases({
        {"pad 1, Num Lock on", Qt::Key_1, kPad, 0, K(0x61, 0x004F0001)},
        {"pad 1, Num Lock off", Qt::Key_End, kPad, 0, K(0x23, 0x004F0001)},
        {"pad 0, Num Lock on", Qt::Key_0, kPad, 0, K(0x60, 0x00520001)},
        {"pad 0, Num Lock off", Qt::Key_Insert, kPad, 0, K(0x2D, 0x00520001)},
        {"pad 5, Num Lock on", Qt::Key_5, kPad, 0, K(0x65, 0x004C0001)},
        {"pad 5, Num Lock off", Qt::Key_Clear, kPad, 0, K(0x0C, 0x004C0001)},
        {"pad 9, Num Lock off", Qt::Key_PageUp, kPad, 0, K(0x21, 0x00490001)},
        {"pad decimal point", Qt::Key_Period, kPad, 0, K(0x6E, 0x00530001)},
        {"pad decimal comma", Qt::Key_Comma, kPad, 0, K(0x6E, 0x00530001)},
        {"pad Del", Qt::Key_Delete, kPad, 0, K(0x2E, 0x00530001)},
        {"pad *", Qt::Key_Asterisk, kPad, 0, K(0x6A, 0x00370001)},
        {"pad -", Qt::Key_Minus, kPad, 0, K(0x6D, 0x004A0001)},
        {"pad +", Qt::Key_Plus, kPad, 0, K(0x6B, 0x004E0001)},
        {"pad /", Qt::Key_Slash, kPad, 0, K(0x6F, 0x01350001)},
        {"pad Enter", Qt::Key_Enter, kPad, 0, K(0x0D, 0x011C0001)},
        {"main-row 1 is no keypad key", Qt::Key_1, kNone, 0, K(0x31, 0x00020001)},
        {"main * is Shift+8", Qt::Key_Asterisk, kNone, 0, K(0x38, 0x00090001)},
        {"a key the keypad lacks keeps its own code", Qt::Key_A, kPad, 0, K(0x41, 0x001E0001)},
    });
}

TEST(TranslateKeyEvent, XKeycodesDecideThePosition) {
    CheckCases({
        {"a", Qt::Key_A, kNone, 38, K(0x41, 0x001E0001)},
        {"AZERTY A on the Q key is the Q key", Qt::Key_A, kNone, 24, K(0x51, 0x00100001)},
        {"QWERTZ Z on the Y key is the Y key", Qt::Key_Z, kNone, 29, K(0x59, 0x00150001)},
        {"AZERTY M on the ; key is the ; key", Qt::Key_M, kNone, 47, K(0xBA, 0x00270001)},
        {"German Ö on the ; key", Qt::Key_Odiaeresis, kNone, 47, K(0xBA, 0x00270001)},
        {"German ß on the - key", Qt::Key_ssharp, kNone, 20, K(0xBD, 0x000C0001)},
        {"German - on the / key", Qt::Key_Minus, kNone, 61, K(0xBF, 0x00350001)},
        {"German AltGr+Q gives @ on the Q key", Qt::Key_At, Qt::GroupSwitchModifier, 24,
         K(0x51, 0x00100001)},
        {"German dead ^ on the ` key", Qt::Key_Dead_Circumflex, kNone, 49, K(0xC0, 0x00290001)},
        {"Cyrillic letter on the A key", 0x0424, kNone, 38, K(0x41, 0x001E0001)},
        {"AZERTY & on the 1 key", Qt::Key_Ampersand, kNone, 10, K(0x31, 0x00020001)},
        {"102nd key", Qt::Key_Less, kNone, 94, K(0xE2, 0x00560001)},
        {"pad 1, Num Lock off", Qt::Key_End, kPad, 87, K(0x23, 0x004F0001)},
        {"pad 1, Num Lock on", Qt::Key_1, kPad, 87, K(0x61, 0x004F0001)},
        {"pad decimal comma", Qt::Key_Comma, kPad, 91, K(0x6E, 0x00530001)},
        {"pad Del", Qt::Key_Delete, kPad, 91, K(0x2E, 0x00530001)},
        {"pad Enter", Qt::Key_Enter, kPad, 104, K(0x0D, 0x011C0001)},
        {"pad /", Qt::Key_Slash, kPad, 106, K(0x6F, 0x01350001)},
        {"left Shift", Qt::Key_Shift, kNone, 50, K(0x10, 0x002A0001)},
        {"right Shift", Qt::Key_Shift, kNone, 62, K(0x10, 0x00360001)},
        {"left Ctrl", Qt::Key_Control, kNone, 37, K(0x11, 0x001D0001)},
        {"right Ctrl", Qt::Key_Control, kNone, 105, K(0x11, 0x011D0001)},
        {"right Alt as AltGr", Qt::Key_AltGr, kNone, 108, K(0x12, 0x01380001)},
        {"left Super", Qt::Key_Meta, kNone, 133, K(0x5B, 0x015B0001)},
        {"right Super", Qt::Key_Meta, kNone, 134, K(0x5C, 0x015C0001)},
        {"Menu", Qt::Key_Menu, kNone, 135, K(0x5D, 0x015D0001)},
        {"Pause", Qt::Key_Pause, kNone, 127, K(0x13, 0x00450001)},
        {"Num Lock", Qt::Key_NumLock, kNone, 77, K(0x90, 0x01450001)},
        {"Print", Qt::Key_Print, kNone, 107, K(0x2C, 0x01370001)},
        {"Home", Qt::Key_Home, kNone, 110, K(0x24, 0x01470001)},
        {"Shift+Tab", Qt::Key_Backtab, Qt::ShiftModifier, 23, K(0x09, 0x000F0001)},
        {"F13", Qt::Key_F13, kNone, 191, K(0x7C, 0x00640001)},
        {"an unknown keycode falls back on the Qt key", Qt::Key_F5, kNone, 255,
         K(0x74, 0x003F0001)},
    });
}

TEST(TranslateKeyEvent, KeysAWindowsKeyboardLacksGiveNothing) {
    CheckCases({
        {"volume up", Qt::Key_VolumeUp, kNone, 0, std::nullopt},
        {"volume up with keycode", Qt::Key_VolumeUp, kNone, 123, std::nullopt},
        {"unknown", Qt::Key_unknown, kNone, 0, std::nullopt},
        {"no key", 0, kNone, 0, std::nullopt},
        {"a letter with no US key", Qt::Key_Adiaeresis, kNone, 0, std::nullopt},
        {"launch key", Qt::Key_Launch0, kNone, 0, std::nullopt},
    });
}

TEST(TranslateKeyEvent, NativeCodesCountOnlyAsXKeycodes) {
    EXPECT_EQ(TranslateKeyEvent(Qt::Key_B, kNone, 38, false), K(0x42, 0x00300001));
    EXPECT_EQ(TranslateKeyEvent(Qt::Key_B, kNone, 0, true), K(0x42, 0x00300001));
    // Keycodes below 8 are no keys.
    EXPECT_EQ(TranslateKeyEvent(Qt::Key_B, kNone, 5, true), K(0x42, 0x00300001));
}

TEST(TranslateKeyEvent, EventsUnderTheOffscreenPlatformUseTheQtKey) {
    const QKeyEvent withCode(QEvent::KeyPress, Qt::Key_B, kNone, 38, 0, 0);
    EXPECT_EQ(TranslateKeyEvent(withCode), K(0x42, 0x00300001));
    const QKeyEvent keypad(QEvent::KeyPress, Qt::Key_End, kPad);
    EXPECT_EQ(TranslateKeyEvent(keypad), K(0x23, 0x004F0001));
    const QKeyEvent volume(QEvent::KeyPress, Qt::Key_VolumeDown, kNone);
    EXPECT_EQ(TranslateKeyEvent(volume), std::nullopt);
}

TEST(TranslateKeyEvent, EveryKeyWithAScanCodeTranslatesToThatScanCode) {
    int keys = 0;
    for (int evdev = 1; evdev < 256; ++evdev) {
        const auto scan = EvdevToScanCode(evdev);
        if (!scan) {
            continue;
        }
        ++keys;
        EXPECT_EQ(ScanCodeToEvdev(*scan), evdev);
        const auto stroke = TranslateKeyEvent(Qt::Key_unknown, kNone,
                                              static_cast<quint32>(evdev + kXKeycodeOffset), true);
        ASSERT_TRUE(stroke.has_value()) << "evdev " << evdev;
        EXPECT_NE(stroke->vk, 0) << "evdev " << evdev;
        EXPECT_EQ(stroke->lParam, MakeKeyLParam(*scan)) << "evdev " << evdev;
    }
    // main block, 102nd/F11/F12, F13-F24, moved keys, Japanese/Brazilian/Korean keys
    EXPECT_EQ(keys, 82 + 3 + 12 + 20 + 8);
}

}  // namespace
}  // namespace quillpad
