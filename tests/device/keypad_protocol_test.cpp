#include "emulated_keypad/keypad_protocol.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

namespace quillpad {
namespace {

// The emulator's keypad: the strict one, keeping what fits at the end of its memory.
constexpr std::size_t kOutputReportLength = kKeypadOutputReportLength;
using ConfigBlock = KeypadMemory;

using Bytes = std::vector<std::uint8_t>;

// A run of bytes as the host frames it: report number 0x00, 7 bytes, zero-padded at the end.
std::vector<Bytes> Frame(const Bytes& run) {
    std::vector<Bytes> reports;
    for (std::size_t i = 0; i < run.size(); i += kOutputReportLength - 1) {
        Bytes report(kOutputReportLength, 0x00);
        for (std::size_t j = 1; j < kOutputReportLength && i + j - 1 < run.size(); ++j) {
            report[j] = run[i + j - 1];
        }
        reports.push_back(report);
    }
    return reports;
}

Bytes Header(std::uint8_t address, std::uint8_t count, std::uint8_t operation) {
    return {0x0A, 0x0B, 0x0C, 0x0D, address, count, operation, 0x00};
}

Bytes Pattern(std::size_t n, std::uint8_t seed) {
    Bytes bytes(n);
    for (std::size_t i = 0; i < n; ++i) {
        bytes[i] = static_cast<std::uint8_t>(seed + i * 7);
    }
    return bytes;
}

// Sends every report of the run; returns the last result and collects every violation.
OutputResult SendRun(KeypadProtocol& keypad, const Bytes& run, std::vector<std::string>& seen) {
    OutputResult last;
    for (const Bytes& report : Frame(run)) {
        last = keypad.OnOutputReport(report);
        seen.insert(seen.end(), last.violations.begin(), last.violations.end());
    }
    return last;
}

TEST(KeypadProtocol, WholeBlockWrittenThenReadBack) {
    KeypadProtocol keypad(ConfigBlock{});
    std::vector<std::string> violations;
    Bytes data = Pattern(256, 3);

    EXPECT_EQ(SendRun(keypad, Header(0, 0x00, 0x02), violations).event, OutputEvent::kWriteHeader);
    EXPECT_EQ(SendRun(keypad, data, violations).event, OutputEvent::kWriteComplete);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), keypad.Memory().begin()));

    EXPECT_EQ(SendRun(keypad, Header(0, 0x00, 0x01), violations).event, OutputEvent::kReadHeader);
    EXPECT_TRUE(keypad.AwaitingFeature());
    FeatureResult answer = keypad.OnFeatureRequest(0);
    ASSERT_TRUE(answer.answered);
    ASSERT_EQ(answer.report.size(), 257u);
    EXPECT_EQ(answer.report[0], 0x00);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), answer.report.begin() + 1));
    EXPECT_TRUE(violations.empty()) << violations.front();
    EXPECT_TRUE(answer.violations.empty());
}

TEST(KeypadProtocol, PartialTransfersUseTheStartAddress) {
    ConfigBlock memory{};
    memory[15] = 0xEE;
    memory[21] = 0xEE;
    KeypadProtocol keypad(memory);
    std::vector<std::string> violations;
    SendRun(keypad, Header(16, 5, 0x02), violations);
    EXPECT_EQ(SendRun(keypad, {1, 2, 3, 4, 5}, violations).event, OutputEvent::kWriteComplete);
    EXPECT_EQ(keypad.Memory()[15], 0xEE);
    EXPECT_EQ(keypad.Memory()[16], 1);
    EXPECT_EQ(keypad.Memory()[20], 5);
    EXPECT_EQ(keypad.Memory()[21], 0xEE);

    SendRun(keypad, Header(15, 3, 0x01), violations);
    FeatureResult answer = keypad.OnFeatureRequest(0);
    EXPECT_EQ(answer.report, (Bytes{0x00, 0xEE, 1, 2}));
    EXPECT_TRUE(violations.empty());
}

TEST(KeypadProtocol, SevenByteWriteNeedsExactlyOneDataReport) {
    KeypadProtocol keypad(ConfigBlock{});
    std::vector<std::string> violations;
    SendRun(keypad, Header(0, 7, 0x02), violations);
    EXPECT_EQ(SendRun(keypad, Pattern(7, 1), violations).event, OutputEvent::kWriteComplete);
    // The next report starts a new command again.
    EXPECT_EQ(SendRun(keypad, Header(0, 1, 0x01), violations).event, OutputEvent::kReadHeader);
    EXPECT_TRUE(violations.empty());
}

struct ViolationCase {
    const char* name;
    std::vector<Bytes> reports;  // sent as they are
    bool thenFeatureRequest;
    std::uint8_t featureReport;
    const char* expected;  // a piece of the violation text
};

class KeypadProtocolViolation : public ::testing::TestWithParam<ViolationCase> {};

TEST_P(KeypadProtocolViolation, IsReported) {
    const ViolationCase& c = GetParam();
    KeypadProtocol keypad(ConfigBlock{});
    std::vector<std::string> seen;
    for (const Bytes& report : c.reports) {
        OutputResult result = keypad.OnOutputReport(report);
        seen.insert(seen.end(), result.violations.begin(), result.violations.end());
    }
    if (c.thenFeatureRequest) {
        FeatureResult result = keypad.OnFeatureRequest(c.featureReport);
        seen.insert(seen.end(), result.violations.begin(), result.violations.end());
        EXPECT_FALSE(result.answered && !result.violations.empty())
            << "a request the keypad objects to must not be answered";
    }
    ASSERT_FALSE(seen.empty());
    bool found = false;
    for (const std::string& text : seen) {
        found = found || text.find(c.expected) != std::string::npos;
    }
    EXPECT_TRUE(found) << "got: " << seen.front();
}

const Bytes kReadHeader1 = {0x00, 0x0A, 0x0B, 0x0C, 0x0D, 0x00, 0x00, 0x01};
const Bytes kHeaderTail = {0x00, 0x00, 0, 0, 0, 0, 0, 0};

INSTANTIATE_TEST_SUITE_P(
    Host, KeypadProtocolViolation,
    ::testing::Values(
        ViolationCase{"ReportNumberMissing",
                      {{0x0A, 0x0B, 0x0C, 0x0D, 0x00, 0x00, 0x01}},
                      false,
                      0,
                      "output report of 7 bytes"},
        ViolationCase{"ReportNumberNotZero",
                      {{0x01, 0x0A, 0x0B, 0x0C, 0x0D, 0x00, 0x00, 0x01}},
                      false,
                      0,
                      "byte 0 must be the report number"},
        ViolationCase{"BadMagic",
                      {{0x00, 0x0A, 0x0B, 0x0C, 0x0E, 0, 0, 1}, kHeaderTail},
                      false,
                      0,
                      "bad command header"},
        ViolationCase{"BadOperation",
                      {{0x00, 0x0A, 0x0B, 0x0C, 0x0D, 0, 0, 3}, kHeaderTail},
                      false,
                      0,
                      "neither 0x01 (read) nor 0x02 (write)"},
        ViolationCase{"LastHeaderByteNotZero",
                      {kReadHeader1, {0x00, 0x05, 0, 0, 0, 0, 0, 0}},
                      false,
                      0,
                      "last byte must be 0x00"},
        ViolationCase{"HeaderPaddingNotZero",
                      {kReadHeader1, {0x00, 0x00, 0, 0, 0, 0, 0, 9}},
                      false,
                      0,
                      "zero-padded"},
        ViolationCase{
            "DataPaddingNotZero",
            {{0x00, 0x0A, 0x0B, 0x0C, 0x0D, 0, 2, 2}, kHeaderTail, {0, 1, 2, 3, 0, 0, 0, 0}},
            false,
            0,
            "data run must be zero-padded"},
        ViolationCase{"WritePastTheEnd",
                      {{0x00, 0x0A, 0x0B, 0x0C, 0x0D, 0xFF, 2, 2}, kHeaderTail},
                      false,
                      0,
                      "runs past the end"},
        ViolationCase{"FeatureWithoutReadHeader", {}, true, 0, "without a read header"},
        ViolationCase{"FeatureDuringWrite",
                      {{0x00, 0x0A, 0x0B, 0x0C, 0x0D, 0, 20, 2}, kHeaderTail},
                      true,
                      0,
                      "in the middle of a write"},
        ViolationCase{
            "FeatureForNumberedReport", {kReadHeader1, kHeaderTail}, true, 1, "only report 0x00"},
        ViolationCase{"OutputInsteadOfFeature",
                      {kReadHeader1, kHeaderTail, kReadHeader1},
                      false,
                      0,
                      "feature request of the read header was due"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(KeypadProtocol, ReadPastTheEndAnswersZerosThere) {
    KeypadProtocol keypad(ConfigBlock{});
    std::vector<std::string> violations;
    // Fill the memory's last bytes first.
    SendRun(keypad, Header(250, 6, 0x02), violations);
    SendRun(keypad, {1, 2, 3, 4, 5, 6}, violations);
    ASSERT_TRUE(violations.empty());
    SendRun(keypad, Header(254, 4, 0x01), violations);
    EXPECT_EQ(violations.size(), 1u);
    EXPECT_EQ(keypad.OnFeatureRequest(0).report, (Bytes{0x00, 5, 6, 0, 0}));
}

TEST(KeypadProtocol, WritePastTheEndKeepsWhatFitsAndRecovers) {
    KeypadProtocol keypad(ConfigBlock{});
    std::vector<std::string> violations;
    SendRun(keypad, Header(253, 10, 0x02), violations);
    EXPECT_EQ(SendRun(keypad, Pattern(10, 1), violations).event, OutputEvent::kWriteComplete);
    EXPECT_EQ(keypad.Memory()[253], 1);
    EXPECT_EQ(keypad.Memory()[255], 15);
    EXPECT_EQ(keypad.Memory()[0], 0);
    EXPECT_EQ(SendRun(keypad, Header(0, 1, 0x01), violations).event, OutputEvent::kReadHeader);
}

TEST(KeypadProtocol, RejectedHeaderLeavesMemoryAndWaitsForTheNext) {
    KeypadProtocol keypad(ConfigBlock{});
    std::vector<std::string> violations;
    EXPECT_EQ(SendRun(keypad, {0x0A, 0x0B, 0x0C, 0x0D, 0, 8, 0x07, 0}, violations).event,
              OutputEvent::kRejected);
    EXPECT_EQ(SendRun(keypad, Header(0, 7, 0x02), violations).event, OutputEvent::kWriteHeader);
    SendRun(keypad, Pattern(7, 9), violations);
    EXPECT_EQ(keypad.Memory()[0], 9);
    EXPECT_EQ(violations.size(), 1u);
}

}  // namespace
}  // namespace quillpad
