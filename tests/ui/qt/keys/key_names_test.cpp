#include "key_names.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <string>

#include "key_naming.h"
#include "key_translation.h"
#include "layout_keymap.h"
#include "scan_codes.h"

namespace quillpad {
namespace {

std::uint32_t LParam(std::uint8_t scan, bool extended) {
    return MakeKeyLParam(ScanCode{scan, extended});
}

struct NameCase {
    std::uint8_t scan;
    bool extended;
    const char* name;
};

void CheckNames(const std::vector<NameCase>& cases) {
    for (const auto& c : cases) {
        EXPECT_EQ(KeyNameFromLParam(LParam(c.scan, c.extended)), c.name)
            << "scan " << std::hex << int{c.scan} << (c.extended ? " extended" : "");
    }
}

// Names character keys after another layout for the length of one test.
class WithLayout {
  public:
    WithLayout(const std::string& layout, const std::string& variant = {})
        : previous_(GetLayoutKeymap()), keymap_(MakeNamedLayoutKeymap(layout, variant)) {
        SetLayoutKeymap(keymap_.get());
    }
    ~WithLayout() { SetLayoutKeymap(&previous_); }

  private:
    LayoutKeymap& previous_;
    std::unique_ptr<LayoutKeymap> keymap_;
};

TEST(KeyNameFromLParam, KeysWithoutCharacterHaveWindowsNames) {
    CheckNames({
        {0x01, false, "Esc"},
        {0x0E, false, "Backspace"},
        {0x0F, false, "Tab"},
        {0x1C, false, "Enter"},
        {0x1C, true, "Num Enter"},
        {0x2A, false, "Shift"},
        {0x36, false, "Right Shift"},
        {0x1D, false, "Ctrl"},
        {0x1D, true, "Right Ctrl"},
        {0x38, false, "Alt"},
        {0x38, true, "Right Alt"},
        {0x3A, false, "Caps Lock"},
        {0x3B, false, "F1"},
        {0x44, false, "F10"},
        {0x57, false, "F11"},
        {0x58, false, "F12"},
        {0x76, false, "F24"},
        {0x45, true, "Num Lock"},
        {0x45, false, "Pause"},
        {0x46, false, "Scroll Lock"},
        {0x37, true, "Prnt Scrn"},
        {0x37, false, "Num *"},
        {0x52, true, "Insert"},
        {0x53, true, "Delete"},
        {0x47, true, "Home"},
        {0x4F, true, "End"},
        {0x49, true, "Page Up"},
        {0x51, true, "Page Down"},
        {0x4B, true, "Left"},
        {0x4D, true, "Right"},
        {0x48, true, "Up"},
        {0x50, true, "Down"},
        {0x52, false, "Num 0"},
        {0x4F, false, "Num 1"},
        {0x4C, false, "Num 5"},
        {0x49, false, "Num 9"},
        {0x53, false, "Num Del"},
        {0x35, true, "Num /"},
        {0x4A, false, "Num -"},
        {0x4E, false, "Num +"},
        {0x39, false, "Space"},
        {0x5B, true, "Left Windows"},
        {0x5C, true, "Right Windows"},
        {0x5D, true, "Application"},
    });
    EXPECT_EQ(KeyNameFromLParam(kApplicationKeyLParam), "Application");
}

TEST(KeyNameFromLParam, CharacterKeysFollowTheUsLayout) {
    CheckNames({
        {0x1E, false, "A"},
        {0x10, false, "Q"},
        {0x2C, false, "Z"},
        {0x02, false, "1"},
        {0x0B, false, "0"},
        {0x0C, false, "-"},
        {0x0D, false, "="},
        {0x1A, false, "["},
        {0x27, false, ";"},
        {0x28, false, "'"},
        {0x29, false, "`"},
        {0x2B, false, "\\"},
        {0x33, false, ","},
        {0x35, false, "/"},
    });
}

TEST(KeyNameFromLParam, OnlyScanCodeAndExtendedFlagCount) {
    // Repeat count, context code, previous-state and transition bits.
    EXPECT_EQ(KeyNameFromLParam(0xE01E0005), "A");
    EXPECT_EQ(KeyNameFromLParam(0x001E0000), "A");
    // Bit 25 ("do not care about left or right") is not the extended flag.
    EXPECT_EQ(KeyNameFromLParam(0x021D0001), "Ctrl");
}

TEST(KeyNameFromLParam, UnknownScanCodesHaveNoName) {
    CheckNames({
        {0x00, false, ""},
        {0x1E, true, ""},
        {0x02, true, ""},
        {0x54, false, ""},
        {0x7F, false, ""},
        {0xFF, true, ""},
        {0x36, true, ""},
    });
    EXPECT_EQ(KeyNameFromLParam(0), "");
}

TEST(KeyNameFromLParam, CharacterKeysFollowOtherLayouts) {
    {
        WithLayout de("de");
        CheckNames({
            {0x15, false, "Z"},
            {0x2C, false, "Y"},
            {0x27, false, "\u00D6"},
            // ß has no one-character capital: it stays as it is.
            {0x0C, false, "\u00DF"},
            // Dead keys are named by their accent.
            {0x29, false, "^"},
            {0x0D, false, "\u00B4"},
            // Keys without character keep their names.
            {0x1D, true, "Right Ctrl"},
        });
    }
    {
        WithLayout fr("fr");
        CheckNames({{0x10, false, "A"}, {0x02, false, "&"}, {0x32, false, ","}});
    }
    {
        WithLayout ru("ru");
        CheckNames({{0x1E, false, "\u0424"}, {0x02, false, "1"}});
    }
    {
        // Japanese: Yen and Ro both type a backslash; keys that type nothing have the keymap's
        // names. The Turkish dotless i has no capital that leads back to it.
        WithLayout jp("jp");
        CheckNames({{0x7D, false, "\\"},
                    {0x73, false, "\\"},
                    {0x29, false, "Zenkaku_Hankaku"},
                    {0x79, false, "Henkan_Mode"},
                    {0x56, false, "<"}});
    }
    {
        WithLayout tr("tr");
        CheckNames({{0x17, false, "\u0131"}, {0x28, false, "I"}});
    }
    {
        WithLayout kr("kr");
        CheckNames({{0x72, false, "Hangul"}, {0x71, false, "Hangul_Hanja"}});
    }
    CheckNames({{0x15, false, "Y"}});
}

TEST(KeyNameFromLParam, WithoutAKeymapCharacterKeysAreNamedAfterUsKeys) {
    WithLayout none("no-such-layout");
    CheckNames({{0x1E, false, "A"},
                {0x02, false, "1"},
                {0x27, false, ";"},
                {0x56, false, "\\"},
                {0x3B, false, "F1"},
                {0x79, false, "Henkan"},
                {0x7D, false, "Yen"}});
}

// Every key the window can capture gets a name it can show.
TEST(KeyNameFromLParam, EveryTranslatedKeyHasAName) {
    const int ranges[][2] = {{0x20, 0xFF}, {Qt::Key_Escape, Qt::Key_Escape + 0x120}};
    int named = 0;
    for (const auto& range : ranges) {
        for (int key = range[0]; key <= range[1]; ++key) {
            for (const auto modifiers : {Qt::NoModifier, Qt::KeypadModifier}) {
                if (const auto stroke = TranslateKeyEvent(key, modifiers, 0, false)) {
                    EXPECT_NE(KeyNameFromLParam(stroke->lParam), "")
                        << "Qt key 0x" << std::hex << key << " lParam 0x" << stroke->lParam;
                    ++named;
                }
            }
        }
    }
    for (int evdev = 1; evdev < 256; ++evdev) {
        if (const auto scan = EvdevToScanCode(evdev)) {
            EXPECT_NE(KeyNameFromLParam(MakeKeyLParam(*scan)), "") << "evdev " << evdev;
        }
    }
    EXPECT_GT(named, 100);
}

struct DisplayCase {
    const char* what;
    int qtKey;
    Qt::KeyboardModifiers keyModifiers;
    std::uint8_t assignedModifiers;
    const char* shown;
};

// A captured key goes into an assignment with its lParam and is shown with the layout's name.
TEST(KeyNameFromLParam, CapturedKeysAreShownWithLayoutNames) {
    const DisplayCase cases[] = {
        {"Ctrl, then A", Qt::Key_A, Qt::NoModifier, kModCtrl, "Ctrl+a"},
        {"Ctrl and Shift, then A", Qt::Key_A, Qt::NoModifier, kModCtrl | kModShift, "Shift+Ctrl+A"},
        {"Alt, then F4", Qt::Key_F4, Qt::NoModifier, kModAlt, "Alt+F4"},
        {"Shift, then 1", Qt::Key_1, Qt::NoModifier, kModShift, "Shift+!"},
        {"keypad 1 with Num Lock", Qt::Key_1, Qt::KeypadModifier, 0, "Num 1"},
        {"keypad Home", Qt::Key_Home, Qt::KeypadModifier, 0, "Num 7"},
        {"Home", Qt::Key_Home, Qt::NoModifier, kModWindows, "Windows+Home"},
        {"keypad Enter", Qt::Key_Enter, Qt::KeypadModifier, 0, "Num Enter"},
        {"Menu", Qt::Key_Menu, Qt::NoModifier, 0, "Application"},
        {"Print Screen", Qt::Key_Print, Qt::NoModifier, 0, "Prnt Scrn"},
    };
    for (const auto& c : cases) {
        const auto stroke = TranslateKeyEvent(c.qtKey, c.keyModifiers, 0, false);
        ASSERT_TRUE(stroke.has_value()) << c.what;
        const KeyAssignment a{stroke->vk, c.assignedModifiers, 0, stroke->lParam};
        EXPECT_EQ(NormalizeKeyText(FormatAssignment(a, true, KeyNameFromLParam)), c.shown)
            << c.what;
    }
}

TEST(KeyNameFromLParam, CapturedKeysOfAnotherLayoutKeepTheirCharacter) {
    WithLayout de("de");
    // The Ö key of a German keyboard, as X11 reports it: a letter, shown in lower case like
    // every letter.
    const auto stroke = TranslateKeyEvent(Qt::Key_Odiaeresis, Qt::NoModifier, 47, true);
    ASSERT_TRUE(stroke.has_value());
    const KeyAssignment a{stroke->vk, kModCtrl, 0, stroke->lParam};
    EXPECT_EQ(FormatAssignment(a, true, KeyNameFromLParam), "Ctrl+\u00F6");
    // The Z key sits where US keyboards have Y; its name is the lower-case z.
    const auto z = TranslateKeyEvent(Qt::Key_Z, Qt::NoModifier, 29, true);
    ASSERT_TRUE(z.has_value());
    EXPECT_EQ(FormatAssignment(KeyAssignment{z->vk, 0, 0, z->lParam}, true, KeyNameFromLParam),
              "z");
}

}  // namespace
}  // namespace quillpad
