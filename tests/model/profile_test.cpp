#include "profile.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace quillpad {
namespace {

KeyAssignments SampleKeys() {
    KeyAssignments keys{};
    KeyByNumber(keys, 1) = {0x74, kModCtrl, 0, 0};
    KeyByNumber(keys, 2) = {0xBB, kModShift, 0, 0};
    KeyByNumber(keys, 3) = {0x6B, 0, kMouseLeft, 0};
    KeyByNumber(keys, 4) = {0, 0x90, 0x88, 0};
    KeyByNumber(keys, 6) = {0xDE, kModShift | kModWindows, 0, 0};
    return keys;
}

TEST(Profile, SavedProfileLoadsBackToTheSameKeys) {
    const KeyAssignments keys = SampleKeys();
    const std::string text = FormatProfile(keys, "saved from keypad 0\nsecond line");
    EXPECT_TRUE(text.starts_with("# saved from keypad 0\n# second line\nkey1 = Ctrl+F5\n")) << text;
    EXPECT_NE(text.find("key2 = Shift+=\n"), std::string::npos);
    EXPECT_NE(text.find("key5 = Null\n"), std::string::npos);

    const ProfileParse parsed = ParseProfile(text);
    ASSERT_TRUE(parsed.ok) << parsed.error;
    KeyAssignments loaded{};
    KeyByNumber(loaded, 5) = {0x41, 0, 0, 0};  // overwritten: the profile names all six
    ApplyProfile(parsed.keys, loaded);
    EXPECT_EQ(loaded, keys);
}

TEST(Profile, KeysNotNamedKeepTheirAssignment) {
    const ProfileParse parsed = ParseProfile(
        "\xEF\xBB\xBF# my keys\r\n\r\n   # indented comment\n  KEY3 =  Mouse Left+a  "
        "\r\nkey6=Null");
    ASSERT_TRUE(parsed.ok) << parsed.error;
    KeyAssignments keys = SampleKeys();
    ApplyProfile(parsed.keys, keys);
    KeyAssignments expected = SampleKeys();
    KeyByNumber(expected, 3) = {0x41, 0, kMouseLeft, 0};
    KeyByNumber(expected, 6) = {};
    EXPECT_EQ(keys, expected);
}

TEST(Profile, EqualsAndHashAsKeysOnTheRightHandSide) {
    const ProfileParse parsed = ParseProfile("key1 = =\nkey2 = Shift+#\nkey3 = Shift++\n");
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_EQ(parsed.keys[0], (KeyAssignment{0xBB, 0, 0, 0}));
    EXPECT_EQ(parsed.keys[1], (KeyAssignment{0x33, kModShift, 0, 0}));
    EXPECT_EQ(parsed.keys[2], (KeyAssignment{0xBB, kModShift, 0, 0}));
}

struct BadProfile {
    std::string_view text;
    const char* error;
};

TEST(Profile, AnyBadLineFailsTheWholeProfileNamingTheLine) {
    using namespace std::string_view_literals;
    const BadProfile cases[] = {
        {"key1 = Ctrl+F5\nkey2 = Ctrl+Foo\n"sv, "line 2: key2: unknown name 'Foo'"},
        {"# c\nkey1 = a\n\nkey7 = b\n"sv, "line 4: unknown key 'key7': use key1 to key6"},
        {"key0 = a"sv, "line 1: unknown key 'key0'"},
        {"keys1 = a"sv, "line 1: unknown key 'keys1'"},
        {"key1 = a\nkey1 = b\n"sv, "line 2: key1 was already given on line 1"},
        {"key1 Ctrl+F5\n"sv, "line 1: 'key1 Ctrl+F5' is not of the form keyN = ASSIGNMENT"},
        {"key1 =\n"sv, "line 1: key1: empty assignment"},
        {"key1 = Ctrl+F5 # note\n"sv, "line 1: key1: unknown name 'F5 # note'"},
        {"key2 = a\nkey1 = b\0c\n"sv, "line 2: holds a NUL byte"},
        {""sv, "the profile names no key"},
        {"# only a comment\n\n"sv, "the profile names no key"},
    };
    for (const auto& c : cases) {
        const ProfileParse parsed = ParseProfile(c.text);
        EXPECT_FALSE(parsed.ok) << c.text;
        EXPECT_TRUE(parsed.error.starts_with(c.error)) << c.text << " gave: " << parsed.error;
        for (const auto& key : parsed.keys)
            EXPECT_FALSE(key.has_value()) << c.text;
    }
}

}  // namespace
}  // namespace quillpad
