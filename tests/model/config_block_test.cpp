#include "config_block.h"

#include <gtest/gtest.h>

#include <random>

#include "key_codes.h"

namespace quillpad {
namespace {

KeyAssignment Key(std::uint8_t vk, std::uint8_t modifiers, std::uint8_t mouse) {
    return KeyAssignment{vk, modifiers, mouse, 0};
}

TEST(BitsToByte, WeighsTheFirstDigitMost) {
    const std::uint8_t bits[] = {0, 0, 0, 0, 0, 0, 1, 0};
    EXPECT_EQ(BitsToByte(bits), 2);
    const std::uint8_t all[] = {1, 1, 1, 1, 1, 1, 1, 1};
    EXPECT_EQ(BitsToByte(all), 255);
    EXPECT_EQ(BitsToByte({}), 0);
    const std::uint8_t three[] = {1, 0, 1};
    EXPECT_EQ(BitsToByte(three), 5);
}

TEST(BitsToByte, ClampsRunsTooLongForAnInt) {
    std::vector<std::uint8_t> many(40, 1);
    EXPECT_EQ(BitsToByte(many), INT_MAX);
}

struct KindCase {
    KeyAssignment key;
    EntryKind kind;
};

void PrintTo(const KindCase& c, std::ostream* os) {
    *os << "vk " << int(c.key.vk) << " modifiers " << int(c.key.modifiers) << " mouse "
        << int(c.key.mouse);
}

class MakeEntryKindTest : public testing::TestWithParam<KindCase> {};

TEST_P(MakeEntryKindTest, CountsKeyboardAndMouseParts) {
    EXPECT_EQ(MakeEntryKind(GetParam().key), GetParam().kind);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MakeEntryKindTest,
    testing::Values(KindCase{Key(0, 0, 0), 0}, KindCase{Key(0x41, 0, 0), 1},
                    KindCase{Key(0, 0, kMouseRight), 2}, KindCase{Key(0x41, 0, kMouseLeft), 3},
                    // Shift and Windows alone are no keyboard part; Ctrl, Alt and 0x10 are.
                    KindCase{Key(0, kModShift, 0), 0}, KindCase{Key(0, kModWindows, 0), 0},
                    KindCase{Key(0, kModShift | kModWindows, 0), 0},
                    KindCase{Key(0, kModCtrl, 0), 1}, KindCase{Key(0, kModAlt, 0), 1},
                    KindCase{Key(0, 0x10, 0), 1}, KindCase{Key(0, 0x20, 0), 0},
                    // Mouse bits above the three buttons are no mouse part.
                    KindCase{Key(0, 0, 0x08), 0}, KindCase{Key(0, 0, kMouseMiddle), 2},
                    // lParam plays no part.
                    KindCase{KeyAssignment{0, 0, 0, 0x015D0001}, 0}));

TEST(EncodeConfigBlock, EmptyKeysGiveOnlyTheMarker) {
    const ConfigBlock block = EncodeConfigBlock(KeyAssignments{});
    for (std::size_t i = 0; i < block.size(); ++i) {
        EXPECT_EQ(block[i], i == kBlockMarkerOffset ? 0xFC : 0) << "byte " << i;
    }
}

TEST(EncodeConfigBlock, PlacesEachKeyInItsEntry) {
    // Keys are stored in the order 4, 3, 2, 1, 6, 5.
    const std::pair<int, std::size_t> keyAtOffset[] = {{4, 0},  {3, 15}, {2, 30},
                                                       {1, 45}, {6, 60}, {5, 75}};
    for (const auto& [number, offset] : keyAtOffset) {
        KeyAssignments keys{};
        KeyByNumber(keys, number) = Key(0x41, kModCtrl, 0);
        const ConfigBlock block = EncodeConfigBlock(keys);
        const std::uint8_t expected[15] = {0x01, 0x01, 0, 0x04, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        for (std::size_t i = 0; i < 15; ++i) {
            EXPECT_EQ(block[offset + i], expected[i]) << "key " << number << " byte " << i;
        }
    }
}

TEST(EncodeConfigBlock, WritesFieldsEvenWithoutAKind) {
    KeyAssignments keys{};
    KeyByNumber(keys, 4) = Key(0, 0, kMouseRight);
    KeyByNumber(keys, 3) = Key(0, kModShift, 0x08);
    KeyByNumber(keys, 2) = Key(0x2C, 0, 0);  // Print Screen has no usage
    const ConfigBlock block = EncodeConfigBlock(keys);
    EXPECT_EQ(block[0], 0x02);
    EXPECT_EQ(block[3], 0x00);
    EXPECT_EQ(block[7], 0x02);
    EXPECT_EQ(block[15], 0x00);  // Shift alone: no keyboard part; 0x08: no mouse part
    EXPECT_EQ(block[16], 0x02);
    EXPECT_EQ(block[22], 0x08);
    EXPECT_EQ(block[30], 0x01);
    EXPECT_EQ(block[33], 0x00);
}

TEST(EncodeConfigBlock, TouchesOnlyTheEntriesAndTheMarker) {
    std::mt19937 rng(7);
    for (int round = 0; round < 200; ++round) {
        KeyAssignments keys{};
        for (auto& k : keys) {
            k = KeyAssignment{static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng()),
                              static_cast<std::uint8_t>(rng()), static_cast<std::uint32_t>(rng())};
        }
        const ConfigBlock block = EncodeConfigBlock(keys);
        for (std::size_t i = 0; i < block.size(); ++i) {
            const std::size_t inEntry = i % kKeyEntrySize;
            const bool written = (i < 6 * kKeyEntrySize &&
                                  (inEntry == 0 || inEntry == 1 || inEntry == 3 || inEntry == 7)) ||
                                 i == kBlockMarkerOffset;
            if (!written) {
                ASSERT_EQ(block[i], 0) << "byte " << i;
            }
        }
        ASSERT_EQ(block[kBlockMarkerOffset], 0xFC);
    }
}

TEST(DecodeConfigBlock, ReadsOnlyModifiersUsageAndMouse) {
    ConfigBlock block{};
    block.fill(0xEE);  // reserved bytes, kind and marker hold garbage
    std::uint8_t* key1 = block.data() + 45;
    key1[KeyEntry::kKind] = 0;
    key1[KeyEntry::kModifiers] = 0x11;
    key1[KeyEntry::kUsage] = 0x04;
    key1[KeyEntry::kMouse] = 0x08;
    KeyAssignments keys{};
    for (auto& k : keys)
        k.lParam = 0x12345678;
    DecodeConfigBlock(block, keys);
    EXPECT_EQ(KeyByNumber(keys, 1), (KeyAssignment{0x41, 0x11, 0x08, 0}));
    for (int n = 2; n <= 6; ++n) {
        EXPECT_EQ(KeyByNumber(keys, n).lParam, 0u) << "key " << n;
        EXPECT_EQ(KeyByNumber(keys, n).modifiers, 0xEE) << "key " << n;
        EXPECT_EQ(KeyByNumber(keys, n).vk, UsageToVk(0xEE)) << "key " << n;
    }
    // Writing back sends zeros in the reserved bytes and the marker at byte 90.
    const ConfigBlock out = EncodeConfigBlock(keys);
    EXPECT_EQ(out[kBlockMarkerOffset], 0xFC);
    EXPECT_EQ(out[45 + 2], 0);
    EXPECT_EQ(out[200], 0);
}

TEST(DecodeThenEncode, KeepsModifierAndMouseBytesAndNormalisesUsages) {
    std::mt19937 rng(42);
    for (int round = 0; round < 500; ++round) {
        ConfigBlock in{};
        for (auto& b : in)
            b = static_cast<std::uint8_t>(rng());
        KeyAssignments keys{};
        DecodeConfigBlock(in, keys);
        const ConfigBlock out = EncodeConfigBlock(keys);
        for (std::size_t slot = 0; slot < 6; ++slot) {
            const std::size_t e = slot * kKeyEntrySize;
            ASSERT_EQ(out[e + KeyEntry::kModifiers], in[e + KeyEntry::kModifiers]);
            ASSERT_EQ(out[e + KeyEntry::kMouse], in[e + KeyEntry::kMouse]);
            ASSERT_EQ(out[e + KeyEntry::kUsage], VkToUsage(UsageToVk(in[e + KeyEntry::kUsage])));
            ASSERT_EQ(out[e + KeyEntry::kKind],
                      MakeEntryKind(KeyByNumber(keys, EntryKeyOrder[slot])));
        }
    }
}

TEST(DecodeThenEncode, KeypadDigitComesBackAsTheMainRowDigit) {
    ConfigBlock in{};
    in[45 + KeyEntry::kUsage] = 0x59;  // keypad 1, key 1
    in[0 + KeyEntry::kUsage] = 0x46;   // Print Screen, key 4: no virtual key
    KeyAssignments keys{};
    DecodeConfigBlock(in, keys);
    const ConfigBlock out = EncodeConfigBlock(keys);
    EXPECT_EQ(out[45 + KeyEntry::kUsage], 0x1E);
    EXPECT_EQ(out[0 + KeyEntry::kUsage], 0x00);
}

}  // namespace
}  // namespace quillpad
