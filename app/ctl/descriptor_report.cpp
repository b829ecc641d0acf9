#include "descriptor_report.h"

#include <cstdio>

#include "dev.h"
#include "file_io.h"

namespace quillpad::ctl {
namespace {

// A report descriptor is at most 4096 bytes on Linux; leave room for other sources.
constexpr std::size_t kMaxDescriptorBytes = 64 * 1024;

std::string Hex4(std::uint16_t value) {
    char text[7];
    std::snprintf(text, sizeof text, "0x%04X", value);
    return text;
}

}  // namespace

bool IsConfigurationInterface(const CollectionSummary& c) {
    return c.usagePage == kKeypadUsagePage && c.usage == kKeypadUsage && c.outputReportLength >= 2;
}

std::string FormatCollections(const std::vector<CollectionSummary>& collections) {
    std::string out;
    int number = 0;
    for (const CollectionSummary& c : collections) {
        out += "collection " + std::to_string(++number) + ": usage page " + Hex4(c.usagePage) +
               ", usage " + Hex4(c.usage) + "; report lengths: input " +
               std::to_string(c.inputReportLength) + ", output " +
               std::to_string(c.outputReportLength) + ", feature " +
               std::to_string(c.featureReportLength) + "; ";
        if (IsConfigurationInterface(c)) {
            out += "the keypad's configuration interface\n";
        } else if (c.usagePage == kKeypadUsagePage && c.usage == kKeypadUsage) {
            out += "not the configuration interface: its output reports carry no data\n";
        } else {
            out += "not the configuration interface (that has usage page 0x0001, usage 0x0003)\n";
        }
    }
    if (collections.empty()) out = "no top-level application collection\n";
    return out;
}

std::string FormatCollectionsJson(const std::vector<CollectionSummary>& collections) {
    std::string out = "[";
    for (std::size_t i = 0; i < collections.size(); ++i) {
        const CollectionSummary& c = collections[i];
        out += std::string(i == 0 ? "\n" : ",\n") + "  {\"usage_page\": " + std::to_string(c.usagePage) +
               ", \"usage\": " + std::to_string(c.usage) +
               ", \"input_report_length\": " + std::to_string(c.inputReportLength) +
               ", \"output_report_length\": " + std::to_string(c.outputReportLength) +
               ", \"feature_report_length\": " + std::to_string(c.featureReportLength) +
               ", \"configuration_interface\": " + (IsConfigurationInterface(c) ? "true" : "false") +
               "}";
    }
    return out + (collections.empty() ? "]\n" : "\n]\n");
}

Status RunDescriptor(const std::string& file, bool json, std::string& out) {
    std::string bytes;
    if (Status s = ReadSmallFile(file, kMaxDescriptorBytes, bytes); !s.ok()) return s;
    std::vector<CollectionSummary> collections;
    std::string error;
    if (!SummarizeDescriptor(bytes, collections, error)) {
        return Fail(kExitBadFile, file + ": " + error);
    }
    out = json ? FormatCollectionsJson(collections) : FormatCollections(collections);
    return Ok();
}

}  // namespace quillpad::ctl
