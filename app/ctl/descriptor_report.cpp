#include "descriptor_report.h"

#include <cstdio>

#include "dev.h"
#include "file_io.h"

namespace quillpad::ctl {
namespace {

// Larger files are refused by the parser too, but with a message about the descriptor.
constexpr std::size_t kMaxDescriptorBytes = 64 * 1024;

std::string Hex4(std::uint16_t value) {
    char text[7];
    std::snprintf(text, sizeof text, "0x%04X", value);
    return text;
}

}  // namespace

bool IsConfigurationInterface(const TopLevelCollection& c) {
    return c.usagePage == kKeypadUsagePage && c.usage == kKeypadUsage &&
           c.outputReportByteLength >= 2;
}

std::string FormatCollections(const std::vector<TopLevelCollection>& collections) {
    std::string out;
    int number = 0;
    for (const TopLevelCollection& c : collections) {
        out += "collection " + std::to_string(++number) + ": usage page " + Hex4(c.usagePage) +
               ", usage " + Hex4(c.usage) + "; report lengths: input " +
               std::to_string(c.inputReportByteLength) + ", output " +
               std::to_string(c.outputReportByteLength) + ", feature " +
               std::to_string(c.featureReportByteLength) + "; ";
        if (IsConfigurationInterface(c)) {
            out += "the keypad's configuration interface\n";
        } else if (c.usagePage == kKeypadUsagePage && c.usage == kKeypadUsage) {
            out += "not the configuration interface: its output reports carry no data\n";
        } else {
            out += "not the configuration interface (that has usage page 0x0001, usage 0x0003)\n";
        }
    }
    if (collections.empty())
        out = "no top-level application collection\n";
    return out;
}

std::string FormatCollectionsJson(const std::vector<TopLevelCollection>& collections) {
    std::string out = "[";
    for (std::size_t i = 0; i < collections.size(); ++i) {
        const TopLevelCollection& c = collections[i];
        out +=
            std::string(i == 0 ? "\n" : ",\n") +
            "  {\"usage_page\": " + std::to_string(c.usagePage) +
            ", \"usage\": " + std::to_string(c.usage) +
            ", \"input_report_length\": " + std::to_string(c.inputReportByteLength) +
            ", \"output_report_length\": " + std::to_string(c.outputReportByteLength) +
            ", \"feature_report_length\": " + std::to_string(c.featureReportByteLength) +
            ", \"configuration_interface\": " + (IsConfigurationInterface(c) ? "true" : "false") +
            "}";
    }
    return out + (collections.empty() ? "]\n" : "\n]\n");
}

Status RunDescriptor(const std::string& file, bool json, std::string& out) {
    std::string bytes;
    if (Status s = ReadSmallFile(file, kMaxDescriptorBytes, bytes); !s.ok())
        return s;
    std::vector<TopLevelCollection> collections;
    std::string error;
    if (!ParseReportDescriptor(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(),
                               collections, error)) {
        return Fail(kExitBadFile, file + ": " + error);
    }
    out = json ? FormatCollectionsJson(collections) : FormatCollections(collections);
    return Ok();
}

}  // namespace quillpad::ctl
