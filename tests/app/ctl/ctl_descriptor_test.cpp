// quillpadctl descriptor, run as a process on real report descriptors and on broken ones.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "known_descriptors.h"
#include "run_ctl.h"

namespace quillpad::testing {
namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (int v : values)
        bytes += static_cast<char>(v);
    return bytes;
}

TEST(CtlDescriptor, ReportsTheLengthsWindowsComputesForRealDescriptors) {
    TempDir dir;
    const std::vector<testing::KnownDescriptor> known = testing::LoadKnownDescriptors();
    ASSERT_EQ(known.size(), 13u);
    for (const testing::KnownDescriptor& d : known) {
        WriteFile(dir / "d.bin", d.bytes);
        const CtlRun run = RunCtl(dir.path(), {"descriptor", "d.bin", "--json"});
        ASSERT_EQ(run.exitCode, 0) << d.name << ": " << run.err;
        const std::string expected = "{\"usage_page\": " + std::to_string(d.usagePage) +
                                     ", \"usage\": " + std::to_string(d.usage) +
                                     ", \"input_report_length\": " + std::to_string(d.input) +
                                     ", \"output_report_length\": " + std::to_string(d.output) +
                                     ", \"feature_report_length\": " + std::to_string(d.feature) +
                                     ", \"configuration_interface\": false}";
        EXPECT_NE(run.out.find(expected), std::string::npos) << d.name << "\n" << run.out;
    }
}

// Usage page 1, usage 3: 8-byte output reports, 256-byte feature reports.
const std::string kKeypadDescriptor =
    Bytes({0x05, 0x01, 0x09, 0x03, 0xA1, 0x01, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95,
           0x08, 0x09, 0x00, 0x91, 0x02, 0x96, 0x00, 0x01, 0x09, 0x00, 0xB1, 0x02, 0xC0});

TEST(CtlDescriptor, RecognisesTheConfigurationInterface) {
    TempDir dir;
    WriteFile(dir / "keypad.bin", kKeypadDescriptor);
    const CtlRun json = RunCtl(dir.path(), {"descriptor", "keypad.bin", "--json"});
    EXPECT_EQ(json.exitCode, 0) << json.err;
    EXPECT_EQ(json.out,
              "[\n  {\"usage_page\": 1, \"usage\": 3, \"input_report_length\": 0, "
              "\"output_report_length\": 9, \"feature_report_length\": 257, "
              "\"configuration_interface\": true}\n]\n");
    const CtlRun text = RunCtl(dir.path(), {"descriptor", "keypad.bin"});
    EXPECT_EQ(text.out,
              "collection 1: usage page 0x0001, usage 0x0003; report lengths: input 0, output 9, "
              "feature 257; the keypad's configuration interface\n");
}

TEST(CtlDescriptor, AMalformedDescriptorIsAnErrorNamingTheOffset) {
    TempDir dir;
    // Cut inside the two data bytes of the Logical Maximum item at offset 8.
    WriteFile(dir / "cut.bin", kKeypadDescriptor.substr(0, 10));
    const CtlRun run = RunCtl(dir.path(), {"descriptor", "cut.bin"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(run.err.starts_with("quillpadctl: cut.bin: ")) << run.err;
    EXPECT_NE(run.err.find("byte 8"), std::string::npos) << run.err;

    WriteFile(dir / "empty.bin", "");
    EXPECT_EQ(RunCtl(dir.path(), {"descriptor", "empty.bin"}).exitCode, 1);
}

}  // namespace
}  // namespace quillpad::testing
