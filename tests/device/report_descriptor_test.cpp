// The report descriptor parser against real descriptors (with the lengths the Windows HID
// parser computed for them), small ones of our own, and malformed input.
#include "platform/linux/report_descriptor.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "known_descriptors.h"

namespace quillpad {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes FromHex(const std::string& hex) {
    Bytes bytes;
    std::string digits;
    for (char c : hex) {
        if (std::isxdigit(static_cast<unsigned char>(c))) {
            digits.push_back(c);
        }
    }
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(digits.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

std::vector<TopLevelCollection> Parse(const Bytes& bytes, std::string* errorOut = nullptr) {
    std::vector<TopLevelCollection> collections;
    std::string error;
    const bool ok = ParseReportDescriptor(bytes.data(), bytes.size(), collections, error);
    EXPECT_EQ(ok, error.empty()) << error;
    if (errorOut != nullptr) {
        *errorOut = error;
    }
    return collections;
}

// The keypad's configuration collection: 8-byte output reports, 256-byte feature reports.
const char* const kKeypad =
    "05 01 09 03 A1 01 15 00 26 FF 00 75 08 95 08 09 00 91 02 96 00 01 09 00 B1 02 C0";
// A boot keyboard: 8-byte input report, 5 LED bits + 3 padding bits of output.
const char* const kKeyboard =
    "05 01 09 06 A1 01 05 07 19 E0 29 E7 15 00 25 01 75 01 95 08 81 02 95 01 75 08 81 01"
    " 95 05 75 01 05 08 19 01 29 05 91 02 95 01 75 03 91 01 95 06 75 08 15 00 25 65 05 07"
    " 19 00 29 65 81 00 C0";

struct Expected {
    const char* name;
    const char* hex;
    std::vector<TopLevelCollection> collections;
};

class WellFormedTest : public ::testing::TestWithParam<Expected> {};

TEST_P(WellFormedTest, FindsEveryTopLevelCollectionWithItsReportLengths) {
    const std::vector<TopLevelCollection> got = Parse(FromHex(GetParam().hex));
    const std::vector<TopLevelCollection>& want = GetParam().collections;
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(got[i].usagePage, want[i].usagePage) << i;
        EXPECT_EQ(got[i].usage, want[i].usage) << i;
        EXPECT_EQ(got[i].inputReportByteLength, want[i].inputReportByteLength) << i;
        EXPECT_EQ(got[i].outputReportByteLength, want[i].outputReportByteLength) << i;
        EXPECT_EQ(got[i].featureReportByteLength, want[i].featureReportByteLength) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Descriptors, WellFormedTest,
    ::testing::Values(Expected{"Keypad", kKeypad, {{1, 3, 0, 9, 257}}},
                      Expected{"Keyboard", kKeyboard, {{1, 6, 9, 2, 0}}},
                      // A 32-bit usage names its own page; long items are skipped.
                      Expected{"ExtendedUsageAndLongItem",
                               "FE 02 10 AA BB 0B 03 00 01 00 A1 01 75 08 95 02 91 02 C0",
                               {{1, 3, 0, 3, 0}}},
                      // Push/Pop restore the report size; the popped size applies after.
                      Expected{"PushPop",
                               "05 01 09 03 A1 01 75 08 A4 75 10 95 01 91 02 B4 95 01 91 02 C0",
                               {{1, 3, 0, 4, 0}}},
                      // Two collections, numbered reports: the longest report of each kind counts.
                      Expected{"ReportIds",
                               "05 0C 09 01 A1 01 85 01 75 08 95 02 81 02 85 02 95 05 81 02 C0"
                               " 06 00 FF 09 01 A1 01 85 03 75 08 95 3F B1 02 C0",
                               {{0x0C, 1, 6, 0, 0}, {0xFF00, 1, 0, 0, 64}}},
                      // Bit counts that are not a multiple of 8 round up to whole bytes:
                      // 12 input bits, 3 output bits, and 9 feature bits in report 1.
                      Expected{"BitsNotWholeBytes",
                               "05 01 09 03 A1 01 75 01 95 0C 81 02 75 03 95 01 91 02 C0"
                               " 06 00 FF 09 01 A1 01 85 01 75 01 95 09 B1 02 C0",
                               {{1, 3, 3, 2, 0}, {0xFF00, 1, 0, 0, 3}}},
                      // A physical collection at the top is no application collection.
                      Expected{"PhysicalAtTopIgnored",
                               "A1 00 75 08 95 04 81 02 C0 05 01 09 02 A1 01 C0",
                               {{1, 2, 0, 0, 0}}}),
    [](const auto& info) { return std::string(info.param.name); });

struct Malformed {
    const char* name;
    Bytes bytes;
    const char* error;  // part of the message
};

class MalformedTest : public ::testing::TestWithParam<Malformed> {};

TEST_P(MalformedTest, IsRejectedWithAReason) {
    std::string error;
    EXPECT_TRUE(Parse(GetParam().bytes, &error).empty());
    EXPECT_NE(error.find(GetParam().error), std::string::npos) << error;
}

Bytes Repeat(const Bytes& unit, int times, const Bytes& tail = {}) {
    Bytes out;
    for (int i = 0; i < times; ++i) {
        out.insert(out.end(), unit.begin(), unit.end());
    }
    out.insert(out.end(), tail.begin(), tail.end());
    return out;
}

Bytes Concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes Truncated(const char* hex, std::size_t drop) {
    Bytes bytes = FromHex(hex);
    bytes.resize(bytes.size() - drop);
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Descriptors, MalformedTest,
    ::testing::Values(
        Malformed{"Empty", {}, "no top-level application collection"},
        Malformed{"OneByteItemCut", {0x05}, "truncated item"},
        Malformed{"FourByteItemCut", FromHex("05 01 09 03 A1 01 27 FF FF"), "truncated item"},
        Malformed{"KeypadCutInTheMiddle", Truncated(kKeypad, 9), "truncated item"},
        Malformed{"KeypadWithoutEnd", Truncated(kKeypad, 1), "ends inside a collection"},
        Malformed{"LongItemCut", FromHex("FE 05 10 01 02"), "truncated long item"},
        Malformed{"LongItemHeaderCut", FromHex("FE 05"), "truncated long item"},
        Malformed{"EndWithoutCollection", {0xC0}, "End Collection without a collection"},
        Malformed{"ReportIdZero", FromHex("05 01 09 03 A1 01 85 00 C0"), "invalid report ID"},
        Malformed{"ReportIdTooLarge", FromHex("05 01 09 03 A1 01 86 00 01 C0"),
                  "invalid report ID"},
        Malformed{"PopWithoutPush", {0xB4}, "Pop without Push"},
        Malformed{"PushTooDeep", Repeat({0xA4}, 17), "Push nested too deeply"},
        Malformed{"NestedTooDeep", Repeat({0xA1, 0x00}, 33, Repeat({0xC0}, 33)),
                  "nested too deeply"},
        Malformed{"HugeReport", FromHex("05 01 09 03 A1 01 77 FF FF FF FF 97 FF FF FF FF 91 02 C0"),
                  "report too long"},
        // Nine output items of 256 x 256 bits: more than a 16-bit byte length can hold.
        Malformed{
            "ReportsAddingUpTooLong",
            Concat(FromHex("05 01 09 03 A1 01 76 00 01 96 00 01"), Repeat({0x91, 0x02}, 9, {0xC0})),
            "report too long"},
        Malformed{"TooLarge", Repeat({0x00}, 4097), "larger than 4096"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReportDescriptorTest, NullDataIsRejectedUnlessEmpty) {
    std::vector<TopLevelCollection> collections;
    std::string error;
    EXPECT_FALSE(ParseReportDescriptor(nullptr, 3, collections, error));
    EXPECT_FALSE(error.empty());
}

// The real descriptors in tests/data, with the lengths Windows computed.
TEST(ReportDescriptorTest, AgreesWithTheWindowsParserOnRealDescriptors) {
    const std::vector<testing::KnownDescriptor> known = testing::LoadKnownDescriptors();
    ASSERT_EQ(known.size(), 13u) << testing::KnownDescriptorsPath();
    for (const testing::KnownDescriptor& d : known) {
        SCOPED_TRACE(d.name);
        const std::vector<TopLevelCollection> collections =
            Parse(Bytes(d.bytes.begin(), d.bytes.end()));
        const TopLevelCollection* match = nullptr;
        for (const TopLevelCollection& c : collections) {
            if (c.usagePage == d.usagePage && c.usage == d.usage) {
                match = &c;
            }
        }
        ASSERT_NE(match, nullptr) << "collection not found";
        EXPECT_EQ(match->inputReportByteLength, d.input);
        EXPECT_EQ(match->outputReportByteLength, d.output);
        EXPECT_EQ(match->featureReportByteLength, d.feature);
    }
}

}  // namespace
}  // namespace quillpad
