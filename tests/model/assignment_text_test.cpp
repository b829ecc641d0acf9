#include "assignment_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "key_codes.h"

namespace quillpad {
namespace {

std::vector<std::uint8_t> KeypadVks() {
    std::vector<std::uint8_t> vks;
    for (int vk = 0; vk < 256; ++vk) {
        if (IsKeypadVk(static_cast<std::uint8_t>(vk)))
            vks.push_back(static_cast<std::uint8_t>(vk));
    }
    return vks;
}

TEST(AssignmentText, KeypadKeysAreExactlyWhatStoredUsagesReadBackAs) {
    std::vector<bool> decoded(256, false);
    for (int usage = 0; usage < 256; ++usage)
        decoded[UsageToVk(static_cast<std::uint8_t>(usage))] = true;
    for (int vk = 0; vk < 256; ++vk) {
        EXPECT_EQ(IsKeypadVk(static_cast<std::uint8_t>(vk)), decoded[vk]) << vk;
    }
    // Letters, digits, F1-F12, 36 keys of their own, and no key.
    EXPECT_EQ(KeypadVks().size(), 26u + 10u + 12u + 35u + 1u);
}

// Every key the keypad can hold, with every modifier and mouse byte, prints as a text that
// parses back to the same record. One test per key, so that they can run in parallel. The
// sanitizer build, 20 times slower, takes every 17th mouse byte (0x00, 0x11, ..., 0xFF: each
// bit set and clear); the release build takes them all.
#ifdef QUILLPAD_SANITIZED_BUILD
constexpr int kMouseStep = 17;
#else
constexpr int kMouseStep = 1;
#endif

class CanonicalRoundTrip : public testing::TestWithParam<std::uint8_t> {};

TEST_P(CanonicalRoundTrip, EveryModifierAndMouseByte) {
    const std::uint8_t vk = GetParam();
    for (int modifiers = 0; modifiers < 256; ++modifiers) {
        for (int mouse = 0; mouse < 256; mouse += kMouseStep) {
            const KeyAssignment a{vk, static_cast<std::uint8_t>(modifiers),
                                  static_cast<std::uint8_t>(mouse), 0};
            const std::string text = CanonicalAssignmentText(a);
            const AssignmentParse parsed = ParseAssignmentText(text);
            if (!parsed.ok || !(parsed.assignment == a)) {
                FAIL() << "vk " << int(vk) << " modifiers " << modifiers << " mouse " << mouse
                       << " text '" << text << "': " << parsed.error;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllKeypadKeys, CanonicalRoundTrip, testing::ValuesIn(KeypadVks()),
                         [](const testing::TestParamInfo<std::uint8_t>& info) {
                             return "vk" + std::to_string(info.param);
                         });

// Where the window's text is unambiguous, the canonical text is the window's text.
TEST(AssignmentText, CanonicalTextIsTheWindowTextWhereThatIsUnambiguous) {
    for (const std::uint8_t vk : KeypadVks()) {
        for (int modifiers = 0; modifiers < 16; ++modifiers) {
            for (int mouse = 0; mouse < 8; ++mouse) {
                const KeyAssignment a{vk, static_cast<std::uint8_t>(modifiers),
                                      static_cast<std::uint8_t>(mouse), 0};
                const bool ambiguous = vk == 0x6B || (vk == 0xBB && (modifiers & kModShift));
                if (ambiguous) {
                    EXPECT_NE(CanonicalAssignmentText(a), WindowAssignmentText(a));
                } else {
                    EXPECT_EQ(CanonicalAssignmentText(a), WindowAssignmentText(a));
                }
            }
        }
    }
}

struct TextCase {
    KeyAssignment assignment;
    const char* canonical;
    const char* window;
};

TEST(AssignmentText, CanonicalAndWindowTexts) {
    const TextCase cases[] = {
        {{0, 0, 0, 0}, "Null", "Null"},
        {{0x74, kModCtrl, 0, 0}, "Ctrl+F5", "Ctrl+F5"},
        {{0x41, 0, kMouseLeft, 0}, "Mouse Left+a", "Mouse Left+a"},
        {{0x41, kModShift, 0, 0}, "Shift+A", "Shift+A"},
        {{0x31, kModShift, 0, 0}, "Shift+!", "Shift+!"},
        {{0xBB, kModShift, 0, 0}, "Shift+=", "Shift"},
        {{0xBB, kModShift | kModCtrl, 0, 0}, "Shift+Ctrl+=", "Shift+Ctrl"},
        {{0x6B, 0, 0, 0}, "Keypad +", "Keypad "},
        {{0x6B, kModAlt, 0, 0}, "Alt+Keypad +", "Alt+Keypad "},
        {{0, 0x10, 0, 0}, "Right Ctrl", "Null"},
        {{0x70, 0xF0, 0, 0}, "Right Ctrl+Right Shift+Right Alt+Right Windows+F1", "F1"},
        {{0, 0, 0x08, 0}, "Mouse 4", "Null"},
        {{0x5A, 0x0F, 0xFF, 0},
         "Shift+Alt+Ctrl+Windows+Mouse Left+Mouse Middle+Mouse Right+Mouse 4+Mouse 5+Mouse 6+"
         "Mouse 7+Mouse 8+Z",
         "Shift+Alt+Ctrl+Windows+Mouse Left+Mouse Middle+Mouse Right+Z"},
        {{0x6F, 0, 0, 0}, "keypad /", "keypad /"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CanonicalAssignmentText(c.assignment), c.canonical);
        EXPECT_EQ(WindowAssignmentText(c.assignment), c.window);
    }
}

struct ParseCase {
    const char* text;
    KeyAssignment expected;
};

TEST(AssignmentText, AcceptsAnyCaseOrderAndSpacing) {
    const ParseCase cases[] = {
        {"Ctrl+F5", {0x74, kModCtrl, 0, 0}},
        {"ctrl+f5", {0x74, kModCtrl, 0, 0}},
        {" Alt + ctrl +  F5 ", {0x74, kModCtrl | kModAlt, 0, 0}},
        {"Mouse Left+a", {0x41, 0, kMouseLeft, 0}},
        {"mouse   LEFT+A", {0x41, 0, kMouseLeft, 0}},
        {"Mouse Right+Shift+Mouse Middle", {0, kModShift, kMouseRight | kMouseMiddle, 0}},
        {"Win+e", {0x45, kModWindows, 0, 0}},
        {"WINDOWS+e", {0x45, kModWindows, 0, 0}},
        {"Right Win+Right Alt", {0, 0xC0, 0, 0}},
        {"Null", {0, 0, 0, 0}},
        {"Ctrl+Null", {0, kModCtrl, 0, 0}},
        {"Shift++", {0xBB, kModShift, 0, 0}},
        {"Shift+=", {0xBB, kModShift, 0, 0}},
        {"=", {0xBB, 0, 0, 0}},
        {"Keypad +", {0x6B, 0, 0, 0}},
        {"Ctrl+keypad+", {0x6B, kModCtrl, 0, 0}},
        {"Keypad *", {0x6A, 0, 0, 0}},
        {"Keypad /", {0x6F, 0, 0, 0}},
        {"Shift+1", {0x31, kModShift, 0, 0}},
        {"Shift+!", {0x31, kModShift, 0, 0}},
        {"shift+:", {0xBA, kModShift, 0, 0}},
        {";", {0xBA, 0, 0, 0}},
        {"Esc", {0x1B, 0, 0, 0}},
        {"PageUp", {0x21, 0, 0, 0}},
        {"Application", {0x5D, 0, 0, 0}},
        {"Right", {0x27, 0, 0, 0}},
        {"Ctrl+Right", {0x27, kModCtrl, 0, 0}},
        {"Right Ctrl", {0, 0x10, 0, 0}},
        {"Mouse 8+4", {0x34, 0, 0x80, 0}},
    };
    for (const auto& c : cases) {
        const AssignmentParse parsed = ParseAssignmentText(c.text);
        ASSERT_TRUE(parsed.ok) << c.text << ": " << parsed.error;
        EXPECT_EQ(parsed.assignment, c.expected) << c.text;
    }
}

struct RejectCase {
    const char* text;
    const char* messagePart;
};

TEST(AssignmentText, RejectsWithAMessageNamingTheFault) {
    const RejectCase cases[] = {
        {"", "empty assignment"},
        {"   ", "empty assignment"},
        {"Ctrl+F13", "unknown name 'F13'"},
        {"Ctrl+Foo", "accepted: modifiers Shift"},
        {"Ctrl+", "ends with '+'"},
        {"Ctrl++", "'+' is the shifted =: write Shift+="},
        {"+", "'+' is the shifted ="},
        {"++", "nothing before its last '+'"},
        {"!", "'!' is the shifted 1: write Shift+1"},
        {"Ctrl+Ctrl", "names 'Ctrl' twice"},
        {"Win+Windows", "names 'Windows' twice"},
        {"a+b", "names 'b' after the key 'a'"},
        {"F5+Ctrl", "the key comes last"},
        {"Null+a", "the key comes last"},
        {"Ctrl++Alt", "empty name between '+' signs"},
        {"+Ctrl", "empty name between '+' signs"},
        {"Keypad", "unknown name 'Keypad'"},
        {"PrintScreen", "unknown name"},
        {"Mouse 9", "unknown name"},
        {"Ctrl+\x01\xFF", "'\\x01\\xFF'"},
    };
    for (const auto& c : cases) {
        const AssignmentParse parsed = ParseAssignmentText(c.text);
        EXPECT_FALSE(parsed.ok) << c.text;
        EXPECT_NE(parsed.error.find(c.messagePart), std::string::npos)
            << c.text << " gave: " << parsed.error;
        EXPECT_EQ(parsed.error.find('\n'), std::string::npos) << c.text;
    }
}

TEST(AssignmentText, AcceptedNamesListEveryKeyName) {
    const std::string names = AcceptedAssignmentNames();
    for (const char* name : {"Mouse Left", "Right Windows", "Win", "F1 to F12", "PageDown",
                             "Keypad +", "keypad /", "Capital", "Null", "Shift++", "~"}) {
        EXPECT_NE(names.find(name), std::string::npos) << name;
    }
}

// The key list names every keypad key once, each name parsing to the key whose usage it lists.
TEST(AssignmentText, KeyListNamesEveryKeypadKeyWithItsUsage) {
    const std::vector<NamedKey> keys = AcceptedKeyNames();
    EXPECT_EQ(keys.size(), KeypadVks().size() - 1);  // all but no key
    int previous = 0;
    for (const NamedKey& key : keys) {
        const AssignmentParse parsed = ParseAssignmentText(key.name);
        ASSERT_TRUE(parsed.ok) << key.name << ": " << parsed.error;
        EXPECT_EQ(VkToUsage(parsed.assignment.vk), key.usage) << key.name;
        EXPECT_GT(key.usage, previous) << key.name;
        previous = key.usage;
    }
}

TEST(AssignmentText, QuoteForMessageEscapesAndShortens) {
    EXPECT_EQ(QuoteForMessage("a\tb"), "'a\\x09b'");
    EXPECT_EQ(QuoteForMessage(std::string(100, 'x')), "'" + std::string(60, 'x') + "...'");
    // Valid UTF-8 is shown as it is; what does not print, or is not UTF-8, is escaped.
    const struct {
        std::string text;
        std::string shown;
    } cases[] = {
        {"\xC3\xA4", "'\xC3\xA4'"},                                          // a-umlaut
        {"\xE2\x82\xAC\xF0\x9F\x98\x80", "'\xE2\x82\xAC\xF0\x9F\x98\x80'"},  // euro, emoji
        {"\xC3", "'\\xC3'"},                                                 // cut short
        {"\xC3\x28", "'\\xC3('"},               // not a continuation byte
        {"\xC0\xAF", "'\\xC0\\xAF'"},           // overlong '/'
        {"\xED\xA0\x80", "'\\xED\\xA0\\x80'"},  // a surrogate
        {"\xC2\x85", "'\\xC2\\x85'"},           // C1 control (next line)
        {"a\xE2\x80\xAE"
         "b",
         "'a\\xE2\\x80\\xAEb'"},  // right-to-left override
        {"\x7F", "'\\x7F'"},
        {std::string(70, 'x').replace(0, 2, "\xC3\xA4"),
         std::string("'\xC3\xA4").append(59, 'x').append("...'")},  // 60 characters, not bytes
    };
    for (const auto& c : cases)
        EXPECT_EQ(QuoteForMessage(c.text), c.shown) << c.shown;
    // A whole message keeps its length and stays one line, whatever a file name holds.
    const std::string tail(70, 'x');
    EXPECT_EQ(ShowForMessage(std::string("a\nb\xC3\xA4: ").append(tail)),
              std::string("a\\x0Ab\xC3\xA4: ").append(tail));
}

}  // namespace
}  // namespace quillpad
