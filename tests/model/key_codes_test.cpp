#include "key_codes.h"

#include <gtest/gtest.h>

namespace quillpad {
namespace {

struct Pair {
    int usage;
    int vk;
};

// Keys whose two directions are exact inverses; the last nine are keys of ISO, Brazilian,
// Japanese and Korean keyboards.
const Pair kInverse[] = {
    {0x04, 0x41}, {0x1D, 0x5A}, {0x1E, 0x31}, {0x26, 0x39}, {0x27, 0x30}, {0x28, 0x0D},
    {0x29, 0x1B}, {0x2A, 0x08}, {0x2B, 0x09}, {0x2C, 0x20}, {0x2D, 0xBD}, {0x2E, 0xBB},
    {0x2F, 0xDB}, {0x30, 0xDD}, {0x31, 0xDC}, {0x33, 0xBA}, {0x34, 0xDE}, {0x35, 0xC0},
    {0x36, 0xBC}, {0x37, 0xBE}, {0x38, 0xBF}, {0x39, 0x14}, {0x3A, 0x70}, {0x3E, 0x74},
    {0x45, 0x7B}, {0x47, 0x91}, {0x48, 0x13}, {0x49, 0x2D}, {0x4A, 0x24}, {0x4B, 0x21},
    {0x4C, 0x2E}, {0x4D, 0x23}, {0x4E, 0x22}, {0x4F, 0x27}, {0x50, 0x25}, {0x51, 0x28},
    {0x52, 0x26}, {0x53, 0x90}, {0x54, 0x6F}, {0x55, 0x6A}, {0x56, 0x6D}, {0x57, 0x6B},
    {0x65, 0x5D}, {0x64, 0xE2}, {0x85, 0xC2}, {0x87, 0xC1}, {0x88, 0xF2}, {0x89, 0xDF},
    {0x8A, 0x1C}, {0x8B, 0xEB}, {0x90, 0x15}, {0x91, 0x19},
};

TEST(KeyCodes, InverseRowsMapBothWays) {
    for (const auto& p : kInverse) {
        EXPECT_EQ(VkToUsage(p.vk), p.usage) << std::hex << "vk 0x" << p.vk;
        EXPECT_EQ(UsageToVk(p.usage), p.vk) << std::hex << "usage 0x" << p.usage;
    }
}

TEST(KeyCodes, KeypadKeysWriteTheirOwnUsageAndReadAsMainRow) {
    for (int digit = 1; digit <= 9; ++digit) {
        EXPECT_EQ(VkToUsage(0x60 + digit), 0x58 + digit);
        EXPECT_EQ(UsageToVk(0x58 + digit), 0x30 + digit);
    }
    EXPECT_EQ(VkToUsage(0x60), 0x62);
    EXPECT_EQ(UsageToVk(0x62), 0x30);
    EXPECT_EQ(VkToUsage(0x6E), 0x63);
    EXPECT_EQ(UsageToVk(0x63), 0xBE);  // shown and written back as the main-row full stop
    EXPECT_EQ(VkToUsage(UsageToVk(0x63)), 0x37);
}

TEST(KeyCodes, KeysWithoutACounterpartConvertToZero) {
    const int vks[] = {0x00, 0x10, 0x11, 0x12, 0x5B, 0x5C, 0xA0, 0xA1, 0xA2,
                       0xA3, 0xA4, 0xA5, 0x2C, 0x7C, 0x87, 0x0C, 0x6C, 0xFF};
    for (int vk : vks)
        EXPECT_EQ(VkToUsage(vk), 0) << std::hex << "vk 0x" << vk;
    const int usages[] = {0x00, 0x32, 0x46, 0x58, 0x66, 0x86, 0x8C, 0x92, 0xE0, 0xFF};
    for (int u : usages)
        EXPECT_EQ(UsageToVk(u), 0) << std::hex << "usage 0x" << u;
}

// Over all 256 codes: wherever one direction gives a code, the other direction leads back,
// except for the keypad keys, which read back as their main-row twins.
TEST(KeyCodes, DirectionsAgreeOverEveryCode) {
    int mapped = 0;
    for (int vk = 0; vk < 256; ++vk) {
        const std::uint8_t usage = VkToUsage(vk);
        if (usage == 0)
            continue;
        ++mapped;
        const bool keypad = (vk >= 0x60 && vk <= 0x69) || vk == 0x6E;
        if (!keypad) {
            EXPECT_EQ(UsageToVk(usage), vk) << std::hex << "vk 0x" << vk;
        }
    }
    // letters, digits 1-9, F1-F12, keys of their own (digit 0 among them, and 9 keys of ISO,
    // Brazilian, Japanese and Korean keyboards), keypad 0-9 and "."
    EXPECT_EQ(mapped, 26 + 9 + 12 + 36 + 9 + 10 + 1);
    for (int usage = 0; usage < 256; ++usage) {
        const std::uint8_t vk = UsageToVk(usage);
        if (vk == 0)
            continue;
        const std::uint8_t back = VkToUsage(vk);
        const bool keypad = usage >= 0x59 && usage <= 0x63;
        if (keypad) {
            EXPECT_NE(back, usage);
            EXPECT_EQ(UsageToVk(back), vk);  // stable after one round trip
        } else {
            EXPECT_EQ(back, usage) << std::hex << "usage 0x" << usage;
        }
    }
}

}  // namespace
}  // namespace quillpad
