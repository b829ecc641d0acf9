#include "descriptor_report.h"
#include "platform/linux/report_descriptor.h"

namespace quillpad::ctl {

bool SummarizeDescriptor(const std::string& bytes, std::vector<CollectionSummary>& collections,
                         std::string& error) {
    std::vector<TopLevelCollection> parsed;
    if (!ParseReportDescriptor(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(),
                               parsed, error)) {
        return false;
    }
    collections.clear();
    for (const TopLevelCollection& c : parsed) {
        collections.push_back({c.usagePage, c.usage, c.inputReportByteLength,
                               c.outputReportByteLength, c.featureReportByteLength});
    }
    return true;
}

}  // namespace quillpad::ctl
