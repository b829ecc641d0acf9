#include "report_descriptors.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace quillpad::emu {
namespace {

// What a HID parser makes of a descriptor with one top-level collection: the collection's
// usage, the report sizes in bits, whether report IDs appear and whether the logical range of
// every main item is sane.
struct Summary {
    std::uint32_t usagePage = 0;
    std::uint32_t usage = 0;
    int topLevelCollections = 0;
    std::uint32_t inputBits = 0;
    std::uint32_t outputBits = 0;
    std::uint32_t featureBits = 0;
    bool reportIds = false;
    bool rangesSane = true;
};

Summary Parse(const std::vector<std::uint8_t>& d) {
    Summary s;
    std::uint32_t page = 0, usage = 0, size = 0, count = 0;
    std::int32_t minimum = 0, maximum = 0;
    int depth = 0;
    for (std::size_t i = 0; i < d.size();) {
        std::uint8_t prefix = d[i];
        std::size_t n = prefix & 3;
        n = n == 3 ? 4 : n;
        std::uint32_t value = 0;
        for (std::size_t k = 0; k < n; ++k) {
            value |= std::uint32_t{d.at(i + 1 + k)} << (8 * k);
        }
        std::int32_t signedValue = n == 1   ? std::int8_t(value)
                                   : n == 2 ? std::int16_t(value)
                                            : std::int32_t(value);
        switch (prefix & 0xFC) {
            case 0x04:
                page = value;
                break;
            case 0x08:
                usage = value;
                break;
            case 0x14:
                minimum = signedValue;
                break;
            case 0x24:
                maximum = signedValue;
                break;
            case 0x74:
                size = value;
                break;
            case 0x94:
                count = value;
                break;
            case 0x84:
                s.reportIds = true;
                break;
            case 0xA0:
                if (depth++ == 0) {
                    ++s.topLevelCollections;
                    s.usagePage = page;
                    s.usage = usage;
                }
                break;
            case 0xC0:
                --depth;
                break;
            case 0x80:
            case 0x90:
            case 0xB0: {
                std::uint32_t& bits = (prefix & 0xFC) == 0x80   ? s.inputBits
                                      : (prefix & 0xFC) == 0x90 ? s.outputBits
                                                                : s.featureBits;
                bits += size * count;
                s.rangesSane = s.rangesSane && minimum <= maximum;
                break;
            }
            default:
                break;
        }
        i += 1 + n;
    }
    EXPECT_EQ(depth, 0) << "collections left open";
    return s;
}

TEST(ReportDescriptors, KeypadHasTheConfigurationInterfaceShape) {
    Summary s = Parse(KeypadDescriptor());
    EXPECT_EQ(s.topLevelCollections, 1);
    EXPECT_EQ(s.usagePage, 0x01u);
    EXPECT_EQ(s.usage, 0x03u);
    EXPECT_FALSE(s.reportIds);
    EXPECT_EQ(s.outputBits, 7u * 8);  // 8 bytes with the report number
    EXPECT_GE(s.featureBits, 256u * 8);
    EXPECT_EQ(s.inputBits, 0u);
    EXPECT_TRUE(s.rangesSane);
}

TEST(ReportDescriptors, OtherUsagesKeepTheReports) {
    Summary s = Parse(KeypadDescriptor(0xFF00, 0x0106));
    EXPECT_EQ(s.usagePage, 0xFF00u);
    EXPECT_EQ(s.usage, 0x0106u);
    EXPECT_EQ(s.outputBits, 7u * 8);
}

TEST(ReportDescriptors, KeyboardIsAKeyboard) {
    Summary s = Parse(KeyboardDescriptor());
    EXPECT_EQ(s.topLevelCollections, 1);
    EXPECT_EQ(s.usagePage, 0x01u);
    EXPECT_EQ(s.usage, 0x06u);
    EXPECT_EQ(s.inputBits, 64u);
    EXPECT_EQ(s.outputBits, 8u);
    EXPECT_TRUE(s.rangesSane);
}

}  // namespace
}  // namespace quillpad::emu
