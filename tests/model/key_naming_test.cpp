#include "key_naming.h"

#include <gtest/gtest.h>

#include "key_codes.h"
#include "utf8.h"

namespace quillpad {
namespace {

std::string Shown(const KeyAssignment& a, bool useKeyNames = true,
                  const KeyNameLookup& lookup = {}) {
    return NormalizeKeyText(FormatAssignment(a, useKeyNames, lookup));
}

struct ShownCase {
    std::uint8_t vk, modifiers, mouse;
    const char* shown;
};

void PrintTo(const ShownCase& c, std::ostream* os) {
    *os << "vk " << int(c.vk) << " modifiers " << int(c.modifiers) << " mouse " << int(c.mouse);
}

class TableNaming : public testing::TestWithParam<ShownCase> {};

TEST_P(TableNaming, ShowsTheCleanedText) {
    const auto& c = GetParam();
    EXPECT_EQ(Shown(KeyAssignment{c.vk, c.modifiers, c.mouse, 0}), c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TableNaming,
    testing::Values(ShownCase{0, 0, 0, "Null"}, ShownCase{0x41, 0, 0, "a"},
                    ShownCase{0x41, 0x02, 0, "Shift+A"}, ShownCase{0x31, 0x02, 0, "Shift+!"},
                    ShownCase{0x30, 0x02, 0, "Shift+)"}, ShownCase{0, 0x01, 0, "Ctrl"},
                    ShownCase{0, 0x0F, 0, "Shift+Alt+Ctrl+Windows"},
                    ShownCase{0, 0, 0x03, "Mouse Left+Mouse Right"},
                    ShownCase{0x51, 0x0F, 0x07,
                              "Shift+Alt+Ctrl+Windows+Mouse Left+Mouse Middle+Mouse Right+Q"},
                    ShownCase{0x70, 0x05, 0, "Alt+Ctrl+F1"},
                    ShownCase{0x7B, 0x08, 0x04, "Windows+Mouse Middle+F12"},
                    ShownCase{0x5D, 0, 0, "Application"}, ShownCase{0, 0x10, 0, "Null"},
                    ShownCase{0xBB, 0x02, 0, "Shift"}, ShownCase{0x6B, 0, 0, "Keypad "},
                    ShownCase{0xC0, 0x02, 0, "Shift+~"}, ShownCase{0xDC, 0, 0, "\\"},
                    ShownCase{0xDE, 0x02, 0, "Shift+\""}, ShownCase{0x6F, 0, 0, "keypad /"},
                    ShownCase{0x74, 0x01, 0, "Ctrl+F5"}, ShownCase{0x35, 0, 0, "5"},
                    // Shift changes only the keys of its table.
                    ShownCase{0x70, 0x02, 0, "Shift+F1"}, ShownCase{0x20, 0x02, 0, "Shift+Space"}));

TEST(VkToKeyName, NamesEveryCodeWithSomething) {
    for (int vk = 0; vk < 256; ++vk) {
        EXPECT_FALSE(VkToKeyName(vk).empty()) << vk;
    }
    EXPECT_EQ(VkToKeyName(0x14), "Capital");
    EXPECT_EQ(VkToKeyName(0x79), "F10");
    // A code without a name of its own is its Latin-1 character, as UTF-8.
    EXPECT_EQ(VkToKeyName(0x6E), "n");
    EXPECT_EQ(VkToKeyName(0xE9), "\xC3\xA9");
}

TEST(FormatAssignment, LeavesNullForTheCleanUp) {
    EXPECT_EQ(FormatAssignment(KeyAssignment{0, kModCtrl, 0, 0}, true), "Ctrl+Null");
}

TEST(FormatAssignment, NamesCapturedKeysThroughTheLookup) {
    const KeyNameLookup layoutA = [](std::uint32_t) { return std::string("A"); };
    const KeyAssignment ctrlA{0x41, kModCtrl, 0, 0x001E0001};
    EXPECT_EQ(Shown(ctrlA, true, layoutA), "Ctrl+a");
    EXPECT_EQ(Shown(KeyAssignment{0x41, kModCtrl | kModShift, 0, 0x001E0001}, true, layoutA),
              "Shift+Ctrl+A");
    // Without key names the table names the key even though lParam is set.
    const KeyNameLookup never = [](std::uint32_t) -> std::string {
        ADD_FAILURE() << "lookup called";
        return "";
    };
    EXPECT_EQ(Shown(KeyAssignment{0x74, 0, 0, 0x003F0001}, false, never), "F5");
    // lParam 0 is never looked up.
    EXPECT_EQ(Shown(KeyAssignment{0x74, 0, 0, 0}, true, never), "F5");
}

TEST(FormatAssignment, LowerCasesWholeCharactersOfLayoutNames) {
    const auto named = [](std::string name) { return [name](std::uint32_t) { return name; }; };
    const std::uint32_t lParam = 0x00270001;
    // A letter key whose layout name is a non-ASCII capital (Ö) is lower-cased as a whole
    // character; Shift turns it back.
    EXPECT_EQ(Shown(KeyAssignment{0x4F, 0, 0, lParam}, true, named("\xC3\x96")), "\xC3\xB6");
    EXPECT_EQ(Shown(KeyAssignment{0x4F, kModShift, 0, lParam}, true, named("\xC3\x96")),
              "Shift+\xC3\x96");
    // Cyrillic, and a character without a case: never a changed byte.
    EXPECT_EQ(Shown(KeyAssignment{0x46, 0, 0, lParam}, true, named("\xD0\x90")), "\xD0\xB0");
    EXPECT_EQ(Shown(KeyAssignment{0x41, 0, 0, lParam}, true, named("\xE3\x81\x82")),
              "\xE3\x81\x82");
    // Invalid bytes are left as they are.
    EXPECT_EQ(Shown(KeyAssignment{0x41, 0, 0, lParam}, true, named("\xC3")), "\xC3");
    // A key the layout cannot name shows its modifiers alone.
    EXPECT_EQ(Shown(KeyAssignment{0x41, kModCtrl, 0, lParam}, true, named("")), "Ctrl");
    EXPECT_EQ(Shown(KeyAssignment{0x41, 0, 0, lParam}, true, named("")), "Null");
    // A name longer than 31 bytes is cut on a character boundary.
    const std::string longName(30, 'x');
    EXPECT_EQ(Shown(KeyAssignment{0x20, 0, 0, lParam}, true, named(longName + "\xC3\xA9")),
              longName);
}

// The clean-up drops a stray "+", but not a key's own name that is or ends in "+".
TEST(DisplayAssignmentText, KeepsAKeyNamedPlus) {
    const KeyNameLookup plus = [](std::uint32_t) { return std::string("+"); };
    const std::uint32_t lParam = 0x001B0001;  // the key a German keyboard types + with
    const struct {
        KeyAssignment assignment;
        KeyNameLookup lookup;
        const char* shown;
    } cases[] = {
        {{0xDD, 0, 0, lParam}, plus, "+"},
        {{0xDD, kModCtrl, 0, lParam}, plus, "Ctrl++"},
        {{0xDD, kModCtrl, 0, 0}, plus, "Ctrl++"},  // read back: named at its position
        {{0xBB, kModShift, 0, 0}, {}, "Shift++"},
        {{0x6B, kModAlt, kMouseLeft, 0}, {}, "Alt+Mouse Left+Keypad +"},
        {{0xBB, 0, 0, 0}, {}, "="},
        {{0, kModCtrl, 0, 0}, {}, "Ctrl"},
        {{0, 0, 0, 0}, {}, "Null"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DisplayAssignmentText(c.assignment, true, c.lookup), c.shown) << c.shown;
    }
}

TEST(FormatAssignment, ShiftReplacesTheWholeFirstCharacter) {
    const KeyNameLookup euro = [](std::uint32_t) { return std::string("\xE2\x82\xAC"); };
    EXPECT_EQ(Shown(KeyAssignment{0x34, kModShift, 0, 0x00050001}, true, euro), "Shift+$");
}

struct NormalizeCase {
    const char* in;
    const char* out;
};

void PrintTo(const NormalizeCase& c, std::ostream* os) {
    *os << '"';
    for (const char* p = c.in; *p; ++p) {
        const auto b = static_cast<unsigned char>(*p);
        if (b < 0x80) {
            *os << *p;
        } else {
            *os << "\\x" << std::hex << int(b) << std::dec;
        }
    }
    *os << '"';
}

class Normalize : public testing::TestWithParam<NormalizeCase> {};

TEST_P(Normalize, Cleans) {
    EXPECT_EQ(NormalizeKeyText(GetParam().in), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Normalize,
    testing::Values(NormalizeCase{"+", "Null"}, NormalizeCase{"++", "Null"},
                    NormalizeCase{"+++", "Null"}, NormalizeCase{"Ctrl++", "Ctrl"},
                    NormalizeCase{"Ctrl+Null", "Ctrl"}, NormalizeCase{"", "Null"},
                    NormalizeCase{"NullNull", "Null"}, NormalizeCase{"a+++b", "a++b"},
                    NormalizeCase{"+Shift+", "Shift"}, NormalizeCase{"Keypad +", "Keypad "},
                    NormalizeCase{"Ctrl+\xCC\xCC", "Ctrl"},
                    // CC CC only counts where a character starts: here the first CC belongs to a
                    // two-byte character (U+0300 = CC 80), so nothing is removed.
                    NormalizeCase{"a\xCC\x80\xCC\xCC", "a\xCC\x80"},
                    NormalizeCase{"\xE2\x80\x8CNull", "\xE2\x80\x8C"}));

TEST(Normalize, IsStableOnEveryDisplayText) {
    const KeyNameLookup names[] = {{},
                                   [](std::uint32_t) { return std::string("Num +"); },
                                   [](std::uint32_t) { return std::string("+"); },
                                   [](std::uint32_t) { return std::string(); }};
    for (const auto& lookup : names) {
        for (int vk = 0; vk < 256; ++vk) {
            for (int mods = 0; mods < 16; ++mods) {
                for (int mouse = 0; mouse < 8; mouse += 3) {
                    const KeyAssignment a{static_cast<std::uint8_t>(vk),
                                          static_cast<std::uint8_t>(mods),
                                          static_cast<std::uint8_t>(mouse), 0x00010001};
                    const std::string once = Shown(a, true, lookup);
                    ASSERT_EQ(NormalizeKeyText(once), once) << "vk " << vk << " mods " << mods;
                    ASSERT_FALSE(once.empty());
                }
            }
        }
    }
}

TEST(Utf8, StepsOverWholeCharactersOnly) {
    EXPECT_EQ(utf8::CharLength("a", 0), 1u);
    EXPECT_EQ(utf8::CharLength("\xC3\xA9", 0), 2u);
    EXPECT_EQ(utf8::CharLength("\xF0\x9F\x98\x80", 0), 4u);
    EXPECT_EQ(utf8::CharLength("\xC3", 0), 1u);  // truncated sequence
    EXPECT_EQ(utf8::CharLength("\xC3"
                               "a",
                               0),
              1u);  // lead byte without continuation
    EXPECT_EQ(utf8::CharLength("", 0), 0u);
    EXPECT_FALSE(utf8::Decode("\xC0\x80", 0));      // overlong
    EXPECT_FALSE(utf8::Decode("\xED\xA0\x80", 0));  // surrogate
    EXPECT_EQ(utf8::Truncate("ab\xE2\x82\xAC", 4), "ab");
    EXPECT_EQ(utf8::Truncate(std::string("ab\0cd", 5), 31), "ab");
    for (char32_t c = 0; c < 0x600; ++c) {
        const std::string s = utf8::Encode(c);
        ASSERT_EQ(utf8::Decode(s, 0).value_or(0xFFFFFFFF), c);
        ASSERT_EQ(utf8::ToLower(utf8::ToUpper(utf8::ToLower(c))), utf8::ToLower(c));
    }
    EXPECT_EQ(utf8::ToUpper(U'\u00DF'), U'\u00DF');  // sharp s has no single capital
    EXPECT_EQ(utf8::ToLower(U'\u00D7'), U'\u00D7');  // multiplication sign
}

}  // namespace
}  // namespace quillpad
