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
    for (const char* layout : {"us", "de", "fr", "us(dvorak)", "ru", "ch(fr)"}) {
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
