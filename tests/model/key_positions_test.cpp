#include <gtest/gtest.h>

#include <set>

#include "key_codes.h"
#include "layout_key_cases.h"
#include "us_key_positions.h"

namespace quillpad {
namespace {

// What Windows' layouts give for a key does not decide what is stored: its position does, and
// a stored key finds its position again to be named.
TEST(KeyPositions, WindowsKeyDownsStoreThePositionOnEveryLayout) {
    for (const auto& c : test::kLayoutKeyCases) {
        const ScanCode scan{c.scan, false};
        const std::uint8_t vk = UsVkOfKeyDown(c.layoutVk, MakeKeyLParam(scan));
        EXPECT_EQ(VkToUsage(vk), c.usage) << c.layout << " " << c.variant << ": " << c.what;
        EXPECT_EQ(ScanCodeOfUsVk(UsageToVk(c.usage)), scan) << c.what;
    }
}

TEST(KeyPositions, KeyDownsThatKeepTheirOwnVirtualKey) {
    struct Case {
        const char* what;
        std::uint32_t platformVk;
        ScanCode scan;
        std::uint8_t expected;
    };
    const Case cases[] = {
        {"keypad 1, Num Lock on", 0x61, {0x4F, false}, 0x61},
        {"keypad 1, Num Lock off", 0x23, {0x4F, false}, 0x23},
        {"keypad 5, Num Lock off", 0x0C, {0x4C, false}, 0x0C},
        {"keypad decimal key as a layout's separator", 0x6C, {0x53, false}, 0x6E},
        {"End of the navigation block", 0x23, {0x4F, true}, 0x23},
        {"right Shift", 0x10, {0x36, false}, 0x10},
        {"AltGr", 0x12, {0x38, true}, 0x12},
        {"left Windows", 0x5B, {0x5B, true}, 0x5B},
        {"Pause", 0x13, {0x45, false}, 0x13},
        {"Num Lock", 0x90, {0x45, true}, 0x90},
        {"no scan code", 0x41, {0x00, false}, 0x41},
        {"an unknown scan code", 0x74, {0x7F, false}, 0x74},
        {"a character sent as input", 0xE7, {0x10, false}, 0xE7},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UsVkOfKeyDown(c.platformVk, MakeKeyLParam(c.scan)), c.expected) << c.what;
    }
    // Bits above the low byte of the platform's code are ignored, as everywhere.
    EXPECT_EQ(UsVkOfKeyDown(0x141, 0), 0x41);
}

// Every character key the keypad can hold has a position to be named from, and that position
// gives the key back.
TEST(KeyPositions, EveryStorableKeyHasOnePosition) {
    std::set<std::uint8_t> characterKeys;
    for (int usage = 1; usage < 256; ++usage) {
        const std::uint8_t vk = UsageToVk(static_cast<std::uint8_t>(usage));
        if (vk == 0) {
            continue;
        }
        const auto scan = ScanCodeOfUsVk(vk);
        ASSERT_TRUE(scan.has_value()) << "usage " << usage;
        EXPECT_EQ(UsVkAtScanCode(*scan), vk) << "usage " << usage;
        EXPECT_EQ(ScanCodeFromLParam(KeyLParamOfUsVk(vk)), *scan);
        if (IsCharacterKeyVk(vk)) {
            characterKeys.insert(vk);
        }
    }
    EXPECT_EQ(characterKeys.size(), 26u + 10u + 11u);
    EXPECT_EQ(KeyLParamOfUsVk(0), 0u);
    EXPECT_EQ(KeyLParamOfUsVk(0xFF), 0u);
}

}  // namespace
}  // namespace quillpad
