// quillpadctl --layout: key names as an XKB layout types them, from xkbcommon without a display.
#include <gtest/gtest.h>

#include <string>

#include "assignment_text.h"
#include "key_codes.h"
#include "layout_key_cases.h"
#include "layout_names.h"

namespace quillpad::ctl {
namespace {

std::shared_ptr<const KeyNameSet> Names(const std::string& name) {
    std::shared_ptr<const KeyNameSet> names;
    const Status status = LoadLayoutNames(name, names);
    EXPECT_TRUE(status.ok()) << name << ": " << status.message;
    return names;
}

std::string LayoutName(const test::LayoutKeyCase& c) {
    return *c.variant ? std::string(c.layout) + "(" + c.variant + ")" : c.layout;
}

// The names set accepts and show prints are the layout's, for the key at the position stored.
TEST(CtlLayout, NamesFollowTheLayoutAndStoreThePosition) {
    for (const auto& c : test::kLayoutKeyCases) {
        const auto names = Names(LayoutName(c));
        ASSERT_NE(names, nullptr);
        const std::string where = LayoutName(c) + " " + c.what;
        const AssignmentParse parsed = ParseAssignmentText(c.shown, names.get());
        ASSERT_TRUE(parsed.ok) << where << ": " << parsed.error;
        EXPECT_EQ(VkToUsage(parsed.assignment.vk), c.usage) << where;
        const KeyAssignment shifted{parsed.assignment.vk, kModShift, 0, 0};
        for (const auto& [a, text] :
             {std::pair{parsed.assignment, c.shown}, {shifted, c.shifted}}) {
            EXPECT_EQ(CanonicalAssignmentText(a, names.get()), text) << where;
            EXPECT_EQ(WindowAssignmentText(a, names.get()), text) << where;
            const AssignmentParse back = ParseAssignmentText(text, names.get());
            EXPECT_TRUE(back.ok && back.assignment == a) << where << ": " << back.error;
        }
    }
}

// On every layout each key the keypad can hold, with and without Shift, prints as a text that
// reads back to it: no two keys share a name.
TEST(CtlLayout, EveryKeyReadsBackOnEveryLayout) {
    for (const char* layout :
         {"us", "de", "fr", "us(dvorak)", "ru", "ch(fr)", "gb", "jp", "tr", "br", "kr", "pl"}) {
        const auto names = Names(layout);
        ASSERT_NE(names, nullptr);
        std::size_t keys = 0;
        for (int usage = 1; usage < 256; ++usage) {
            const std::uint8_t vk = UsageToVk(static_cast<std::uint8_t>(usage));
            if (vk == 0)
                continue;
            ++keys;
            for (const int modifiers : {0, int{kModShift}, kModShift | kModCtrl}) {
                const KeyAssignment a{vk, static_cast<std::uint8_t>(modifiers), 0, 0};
                const std::string text = CanonicalAssignmentText(a, names.get());
                const AssignmentParse back = ParseAssignmentText(text, names.get());
                EXPECT_TRUE(back.ok && back.assignment == a)
                    << layout << ": vk " << int{vk} << " '" << text << "' " << back.error;
            }
        }
        EXPECT_EQ(AcceptedKeyNames(names.get()).size(), AcceptedKeyNames().size()) << layout;
        EXPECT_GT(keys, 90u);
    }
}

// What a layout types decides a name, also where it differs from what the US names suggest.
TEST(CtlLayout, NamesFollowTheLayoutsOwnCasesKeysAndLevels) {
    struct Case {
        const char* layout;
        const char* text;
        std::uint8_t usage;  // 0: refused
        std::uint8_t modifiers;
        const char* messageOrCanonical;
    };
    const Case cases[] = {
        // Turkish: I is the capital of dotless i, and the capital dotted I that of i.
        {"tr", "I", 0x0C, 0, "\xC4\xB1"},
        {"tr", "Shift+I", 0x0C, kModShift, "Shift+I"},
        {"tr", "\xC4\xB0", 0x34, 0, "i"},
        {"tr", "shift+\xC4\xB0", 0x34, kModShift, "Shift+\xC4\xB0"},
        // Japanese: the Ro key types the backslash the Yen key also types; the Yen key keeps
        // its own name. Keys that type nothing have the layout's names.
        {"jp", "\\", 0x87, 0, "\\"},
        {"jp", "Yen", 0x89, 0, "Yen"},
        {"jp", "Shift+|", 0x89, kModShift, "Shift+|"},
        {"jp", "zenkaku_hankaku", 0x35, 0, "Zenkaku_Hankaku"},
        {"jp", "Ctrl+Henkan_Mode", 0x8A, kModCtrl, "Ctrl+Henkan_Mode"},
        {"kr", "Hangul", 0x90, 0, "Hangul"},
        {"br", "/", 0x87, 0, "/"},
        {"gb", "\\", 0x64, 0, "\\"},
        // Characters only AltGr types name no key, but say how to write them.
        {"de", "@", 0, 0, "'@' is AltGr+q on this layout: write Right Alt+q"},
        {"de", "Ctrl+\xE2\x82\xAC", 0, 0, "is AltGr+e on this layout: write Right Alt+e"},
        {"pl", "\xC4\x84", 0, 0, "is AltGr+Shift+a on this layout: write Shift+Right Alt+a"},
        {"de", "Right Alt+q", 0x14, 0x40, "Right Alt+q"},
    };
    for (const Case& c : cases) {
        const auto names = Names(c.layout);
        ASSERT_NE(names, nullptr);
        const AssignmentParse parsed = ParseAssignmentText(c.text, names.get());
        const std::string where = std::string(c.layout) + " " + c.text;
        if (c.usage == 0) {
            EXPECT_FALSE(parsed.ok) << where;
            EXPECT_NE(parsed.error.find(c.messageOrCanonical), std::string::npos)
                << where << ": " << parsed.error;
            continue;
        }
        ASSERT_TRUE(parsed.ok) << where << ": " << parsed.error;
        EXPECT_EQ(VkToUsage(parsed.assignment.vk), c.usage) << where;
        EXPECT_EQ(parsed.assignment.modifiers, c.modifiers) << where;
        EXPECT_EQ(CanonicalAssignmentText(parsed.assignment, names.get()), c.messageOrCanonical)
            << where;
    }
    // keys lists the keys of every keyboard, each under the name set accepts.
    for (const char* layout : {"jp", "de"}) {
        const auto names = Names(layout);
        for (const std::uint8_t usage : {0x64, 0x85, 0x87, 0x88, 0x89, 0x8A, 0x8B, 0x90, 0x91}) {
            bool listed = false;
            for (const NamedKey& key : AcceptedKeyNames(names.get())) {
                if (key.usage != usage)
                    continue;
                listed = true;
                const AssignmentParse back = ParseAssignmentText(key.name, names.get());
                EXPECT_TRUE(back.ok && VkToUsage(back.assignment.vk) == usage) << key.name;
            }
            EXPECT_TRUE(listed) << layout << " usage " << int{usage};
        }
    }
}

TEST(CtlLayout, UnknownAndMalformedLayoutsAreUsageErrors) {
    std::shared_ptr<const KeyNameSet> names;
    for (const char* name : {"xx", "us(nope)", "us(dvorak", "", "../de", "de fr", "pc", "level3"}) {
        const Status status = LoadLayoutNames(name, names);
        EXPECT_EQ(status.code, kExitUsage) << name;
        EXPECT_NE(status.message.find(QuoteForMessage(name)), std::string::npos) << status.message;
    }
    EXPECT_EQ(names, nullptr);
}

}  // namespace
}  // namespace quillpad::ctl
