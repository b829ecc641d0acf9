// quillpadctl descriptor, run as a process on real report descriptors and on broken ones.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run_ctl.h"

namespace quillpad::test {
namespace {

// One device of the shared test data: a descriptor and what Windows computed for one of its
// top-level collections.
struct KnownDescriptor {
    std::string name;
    std::string bytes;
    int usagePage = 0, usage = 0, input = 0, output = 0, feature = 0;
};

// The value of "key": after from, as text (a number, or a string without its quotes).
std::string Field(const std::string& json, std::size_t from, const std::string& key) {
    std::size_t at = json.find("\"" + key + "\":", from);
    if (at == std::string::npos) return "";
    at = json.find_first_not_of(" ", at + key.size() + 3);
    if (json[at] == '"') return json.substr(at + 1, json.find('"', at + 1) - at - 1);
    return json.substr(at, json.find_first_of(",}", at) - at);
}

std::vector<KnownDescriptor> LoadKnownDescriptors() {
    const std::string json = ReadFile(std::string(QUILLPAD_TESTDATA_DIR) + "/hid-descriptors.json");
    std::vector<KnownDescriptor> known;
    for (std::size_t at = json.find("\"name\":"); at != std::string::npos;
         at = json.find("\"name\":", at + 1)) {
        KnownDescriptor d;
        d.name = Field(json, at, "name");
        const std::string hex = Field(json, at, "descriptor_hex");
        for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
            d.bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
        }
        d.usagePage = std::stoi(Field(json, at, "usage_page"));
        d.usage = std::stoi(Field(json, at, "usage"));
        d.input = std::stoi(Field(json, at, "input_len"));
        d.output = std::stoi(Field(json, at, "output_len"));
        d.feature = std::stoi(Field(json, at, "feature_len"));
        known.push_back(d);
    }
    return known;
}

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (int v : values) bytes += static_cast<char>(v);
    return bytes;
}

TEST(CtlDescriptor, ReportsTheLengthsWindowsComputesForRealDescriptors) {
    TempDir dir;
    const std::vector<KnownDescriptor> known = LoadKnownDescriptors();
    ASSERT_EQ(known.size(), 13u);
    for (const KnownDescriptor& d : known) {
        WriteFile(dir / "d.bin", d.bytes);
        const CtlRun run = RunCtl(dir.path(), {"descriptor", "d.bin", "--json"});
        ASSERT_EQ(run.exitCode, 0) << d.name << ": " << run.err;
        const std::string expected =
            "{\"usage_page\": " + std::to_string(d.usagePage) + ", \"usage\": " +
            std::to_string(d.usage) + ", \"input_report_length\": " + std::to_string(d.input) +
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
}  // namespace quillpad::test
