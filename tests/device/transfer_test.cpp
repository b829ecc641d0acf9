// The command header, the framing of runs into output reports, and block reads and writes.
#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

#include "fake_fixture.h"

namespace quillpad {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Pattern(int n) {
    Bytes bytes(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        bytes[i] = static_cast<std::uint8_t>(0x40 + i * 7);
    }
    return bytes;
}

TEST(CommandHeaderTest, CarriesLowEightBitsOfAddressAndLength) {
    struct Case {
        int address, length;
        std::uint8_t op;
        std::array<std::uint8_t, 8> expected;
    };
    const Case cases[] = {
        {0, 256, kOpRead, {0x0A, 0x0B, 0x0C, 0x0D, 0x00, 0x00, 0x01, 0x00}},
        {0, 256, kOpWrite, {0x0A, 0x0B, 0x0C, 0x0D, 0x00, 0x00, 0x02, 0x00}},
        {0x5A, 257, kOpRead, {0x0A, 0x0B, 0x0C, 0x0D, 0x5A, 0x01, 0x01, 0x00}},
        {0x1FF, 255, kOpWrite, {0x0A, 0x0B, 0x0C, 0x0D, 0xFF, 0xFF, 0x02, 0x00}},
        {-1, 15, kOpWrite, {0x0A, 0x0B, 0x0C, 0x0D, 0xFF, 0x0F, 0x02, 0x00}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MakeCommandHeader(c.address, c.length, c.op).bytes, c.expected)
            << c.address << "/" << c.length;
    }
}

class TransferTest : public FakePlatformTest {
  protected:
    // One keypad with output reports of outputLength bytes, selected as device 0.
    void Attach(std::uint16_t outputLength) {
        fake.Add(FakePlatform::KeypadInterface("pad", 1, outputLength));
        ASSERT_EQ(DevEnumerate(nullptr), 1);
        DevSelect(0);
        fake.ClearCalls();
    }
    std::vector<Bytes> Reports() const { return fake.ReportsTo("pad"); }
    const FakeCall* FeatureRequest() const {
        for (const FakeCall& call : fake.calls()) {
            if (call.op == FakeOp::kGetFeature) {
                return &call;
            }
        }
        return nullptr;
    }
};

// Splits what a run of reports carried back into the header and the data, checking that each
// report is L bytes with report ID 0 and that each run is zero-padded to whole reports.
struct Framing {
    std::uint16_t reportLength;
    int length;
};

class FramingTest : public TransferTest, public ::testing::WithParamInterface<Framing> {};

TEST_P(FramingTest, WriteSendsHeaderRunThenDataRunInWholeReports) {
    const auto [L, n] = GetParam();
    Attach(L);
    const Bytes data = Pattern(n);
    ASSERT_EQ(DevWriteBlock(data.data(), 0x10, n), 1);

    const std::size_t payload = L - 1u;
    const std::size_t headerReports = (8 + payload - 1) / payload;
    const std::size_t dataReports = (static_cast<std::size_t>(n) + payload - 1) / payload;
    const std::vector<Bytes> reports = Reports();
    ASSERT_EQ(reports.size(), headerReports + dataReports);
    Bytes carried;
    for (const Bytes& report : reports) {
        ASSERT_EQ(report.size(), L);
        EXPECT_EQ(report[0], 0x00);
        carried.insert(carried.end(), report.begin() + 1, report.end());
    }
    Bytes expected(headerReports * payload, 0);
    const CommandHeader header = MakeCommandHeader(0x10, n, kOpWrite);
    std::copy(header.bytes.begin(), header.bytes.end(), expected.begin());
    Bytes paddedData(dataReports * payload, 0);
    std::copy(data.begin(), data.end(), paddedData.begin());
    expected.insert(expected.end(), paddedData.begin(), paddedData.end());
    EXPECT_EQ(carried, expected);

    // The keypad stored what was sent (its count byte cannot say more than 256).
    if (n <= 256) {
        const KeypadMemory& memory = fake.Keypad("pad").Memory();
        for (int i = 0; i < n; ++i) {
            ASSERT_EQ(memory[(0x10 + i) & 0xFF], data[i]) << i;
        }
    }
    // On purpose: long runs go past the memory's end, and the bytes of a run longer than its
    // count byte can say reach the keypad as headers.
    ExpectOnlyKeypadViolations({"runs past the end", "must be zero-padded", "bad command header"});
}

TEST_P(FramingTest, ReadSendsHeaderThenOneFeatureRequestOfLengthPlusOne) {
    const auto [L, n] = GetParam();
    Attach(L);
    KeypadMemory& memory = fake.Keypad("pad").Memory();
    std::iota(memory.begin(), memory.end(), std::uint8_t{0x80});
    Bytes buffer(static_cast<std::size_t>(n) + 1, 0xEE);
    ASSERT_EQ(DevReadBlock(buffer.data(), 0x20, n), 1);

    const std::size_t payload = L - 1u;
    EXPECT_EQ(Reports().size(), (8 + payload - 1) / payload);
    const FakeCall* feature = FeatureRequest();
    ASSERT_NE(feature, nullptr);
    EXPECT_EQ(feature->length, static_cast<std::size_t>(n) + 1);
    EXPECT_TRUE(std::all_of(feature->bytes.begin(), feature->bytes.end(),
                            [](std::uint8_t b) { return b == 0; }));
    EXPECT_EQ(fake.calls().back().op, FakeOp::kGetFeature);
    // The keypad answers as many bytes as the header's count byte asked for, zeros after.
    const int answered = n == 0 ? 0 : ((n & 0xFF) == 0 ? 256 : (n & 0xFF));
    for (int i = 0; i < n; ++i) {
        ASSERT_EQ(buffer[i], i < answered ? memory[(0x20 + i) & 0xFF] : 0) << i;
    }
    EXPECT_EQ(buffer[n], 0xEE);                         // nothing copied past length
    ExpectOnlyKeypadViolations({"runs past the end"});  // the long runs, on purpose
}

// L = 2, 9, 65 with lengths 0, a multiple of L-1, and one more.
INSTANTIATE_TEST_SUITE_P(LengthsAndReportSizes, FramingTest,
                         ::testing::Values(Framing{2, 0}, Framing{2, 8}, Framing{2, 9},
                                           Framing{9, 0}, Framing{9, 256}, Framing{9, 257},
                                           Framing{9, 1}, Framing{65, 0}, Framing{65, 128},
                                           Framing{65, 129}, Framing{65, 256}),
                         [](const auto& info) {
                             std::string name("L");
                             return name.append(std::to_string(info.param.reportLength))
                                 .append("_n")
                                 .append(std::to_string(info.param.length));
                         });

TEST_F(TransferTest, ConfigBlockRoundTripsThroughTheKeypad) {
    Attach(9);
    Bytes block = Pattern(256);
    ASSERT_EQ(DevWriteBlock(block.data(), 0, 256), 1);
    EXPECT_EQ(Reports()[0], (Bytes{0x00, 0x0A, 0x0B, 0x0C, 0x0D, 0x00, 0x00, 0x02, 0x00}));
    EXPECT_EQ(Reports().size(), 1u + 32u);
    fake.ClearCalls();
    Bytes back(256, 0);
    ASSERT_EQ(DevReadBlock(back.data(), 0, 256), 1);
    EXPECT_EQ(Reports()[0], (Bytes{0x00, 0x0A, 0x0B, 0x0C, 0x0D, 0x00, 0x00, 0x01, 0x00}));
    ASSERT_NE(FeatureRequest(), nullptr);
    EXPECT_EQ(FeatureRequest()->length, 257u);
    EXPECT_EQ(back, block);
}

TEST_F(TransferTest, EmptyRunSendsNothingAndSucceeds) {
    Attach(9);
    InterfaceHandle& iface = GetDeviceTable().slots[0].iface;
    EXPECT_EQ(DevWriteReports(iface, nullptr, 0), 1);
    EXPECT_EQ(fake.TotalCalls(), 0);
}

TEST_F(TransferTest, NothingSelectedOrNothingThereTouchesNoPlatformCall) {
    Attach(9);
    std::uint8_t block[16] = {1, 2, 3};
    for (int index : {-1, 1, 31, 32, -2}) {
        DevSelect(index);
        EXPECT_EQ(DevReadBlock(block, 0, 16), 0) << index;
        EXPECT_EQ(DevWriteBlock(block, 0, 16), 0) << index;
        EXPECT_EQ(DevReadBlockAt(index, block, 0, 16), 0) << index;
        EXPECT_EQ(DevWriteBlockAt(index, block, 0, 16), 0) << index;
    }
    EXPECT_EQ(fake.TotalCalls(), 0);
    EXPECT_EQ(block[0], 1);
}

TEST_F(TransferTest, NegativeLengthFailsAndSendsNothing) {
    Attach(9);
    std::uint8_t block[16] = {};
    EXPECT_EQ(DevReadBlock(block, 0, -1), 0);
    EXPECT_EQ(DevWriteBlock(block, 0, -256), 0);
    EXPECT_EQ(DevWriteReports(GetDeviceTable().slots[0].iface, block, -1), 0);
    EXPECT_EQ(fake.TotalCalls(), 0);
}

// Output reports with no room for payload.
class TinyReportTest : public TransferTest, public ::testing::WithParamInterface<int> {};

TEST_P(TinyReportTest, EveryTransferFailsAtOnce) {
    Attach(static_cast<std::uint16_t>(GetParam()));
    std::uint8_t block[256] = {};
    EXPECT_EQ(DevWriteBlock(block, 0, 256), 0);
    EXPECT_EQ(DevWriteBlock(block, 0, 0), 0);
    EXPECT_EQ(DevReadBlock(block, 0, 256), 0);
    EXPECT_EQ(DevWriteReports(GetDeviceTable().slots[0].iface, block, 1), 0);
    EXPECT_EQ(fake.TotalCalls(), 0);
}

INSTANTIATE_TEST_SUITE_P(ZeroAndOne, TinyReportTest, ::testing::Values(0, 1));

// A report that fails, or that the platform takes short, ends the transfer at once.
struct BrokenReport {
    const char* name;
    int report;  // which WriteReport of the transfer (0 = the first header report)
    bool shortWrite;
};

class BrokenReportTest : public TransferTest, public ::testing::WithParamInterface<BrokenReport> {};

TEST_P(BrokenReportTest, WriteStopsAtTheBrokenReport) {
    Attach(9);
    const BrokenReport& param = GetParam();
    param.shortWrite ? fake.ShortWriteNth(param.report)
                     : fake.FailNth(FakeOp::kWriteReport, param.report);
    const Bytes block = Pattern(256);
    EXPECT_EQ(DevWriteBlock(block.data(), 0, 256), 0);
    EXPECT_EQ(fake.Count(FakeOp::kWriteReport), param.report + 1);
}

INSTANTIATE_TEST_SUITE_P(HeaderAndData, BrokenReportTest,
                         ::testing::Values(BrokenReport{"FirstHeaderFails", 0, false},
                                           BrokenReport{"FirstHeaderShort", 0, true},
                                           BrokenReport{"LastHeaderOfEightShort", 7, true},
                                           BrokenReport{"FirstDataFails", 1, false},
                                           BrokenReport{"MiddleDataShort", 16, true},
                                           BrokenReport{"LastDataFails", 32, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TransferTest, BrokenHeaderReportFailsTheReadBeforeTheFeatureRequest) {
    Attach(2);  // the header takes 8 reports
    struct Case {
        int report;
        bool shortWrite;
    };
    for (const Case c : {Case{0, false}, Case{0, true}, Case{3, false}, Case{7, true}}) {
        fake.ClearCalls();
        c.shortWrite ? fake.ShortWriteNth(c.report) : fake.FailNth(FakeOp::kWriteReport, c.report);
        Bytes buffer(256, 0xEE);
        EXPECT_EQ(DevReadBlock(buffer.data(), 0, 256), 0) << c.report;
        EXPECT_EQ(fake.Count(FakeOp::kWriteReport), c.report + 1);
        EXPECT_EQ(fake.Count(FakeOp::kGetFeature), 0);
        EXPECT_EQ(buffer, Bytes(256, 0xEE));
    }
    // The headers broken on purpose leave the keypad with parts of headers.
    ExpectOnlyKeypadViolations({"bad command header"});
}

TEST_F(TransferTest, FailedFeatureFetchLeavesTheCallersBufferUntouched) {
    Attach(9);
    fake.Fail(FakeOp::kGetFeature);
    Bytes buffer(256, 0xEE);
    EXPECT_EQ(DevReadBlock(buffer.data(), 0, 256), 0);
    EXPECT_EQ(buffer, Bytes(256, 0xEE));
    EXPECT_EQ(Reports().size(), 1u);
}

TEST_F(TransferTest, UnallocatableFeatureBufferFailsTheReadBeforeAnythingIsSent) {
    Attach(9);
    allocator.FailAfter(0);
    Bytes buffer(16, 0xEE);
    EXPECT_EQ(DevReadBlock(buffer.data(), 0, 16), 0);
    EXPECT_EQ(fake.TotalCalls(), 0);
    EXPECT_EQ(buffer, Bytes(16, 0xEE));
}

TEST_F(TransferTest, WriteAllocatesNothing) {
    Attach(9);
    allocator.FailAfter(0);
    const Bytes block = Pattern(256);
    EXPECT_EQ(DevWriteBlock(block.data(), 0, 256), 1);
}

TEST_F(TransferTest, ReadOfNothingSendsCountZeroAndRequestsOneByte) {
    Attach(9);
    std::uint8_t untouched = 0xEE;
    EXPECT_EQ(DevReadBlock(&untouched, 3, 0), 1);
    EXPECT_EQ(Reports()[0], (Bytes{0x00, 0x0A, 0x0B, 0x0C, 0x0D, 0x03, 0x00, 0x01, 0x00}));
    ASSERT_NE(FeatureRequest(), nullptr);
    EXPECT_EQ(FeatureRequest()->length, 1u);
    EXPECT_EQ(untouched, 0xEE);
    ExpectOnlyKeypadViolations({"runs past the end"});  // count 0 stands for 256
}

}  // namespace
}  // namespace quillpad
