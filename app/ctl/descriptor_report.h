// The descriptor command: what a HID report descriptor declares, collection by collection, and
// whether the keypad's configuration interface is among it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "status.h"

namespace quillpad::ctl {

// One top-level application collection, with report lengths in bytes as Windows counts them
// (including the report ID byte; 0 when the collection has no report of the kind).
struct CollectionSummary {
    std::uint16_t usagePage = 0;
    std::uint16_t usage = 0;
    std::uint16_t inputReportLength = 0;
    std::uint16_t outputReportLength = 0;
    std::uint16_t featureReportLength = 0;
};

// Usage page 1, usage 3, and output reports that can carry a payload.
bool IsConfigurationInterface(const CollectionSummary& collection);

std::string FormatCollections(const std::vector<CollectionSummary>& collections);
std::string FormatCollectionsJson(const std::vector<CollectionSummary>& collections);

// Parses a raw report descriptor with the Linux backend's parser. False with an error naming
// the byte offset when it is malformed.
bool SummarizeDescriptor(const std::string& bytes, std::vector<CollectionSummary>& collections,
                         std::string& error);

// Reads the descriptor in file and prints its collections (as JSON when json is set).
Status RunDescriptor(const std::string& file, bool json, std::string& out);

}  // namespace quillpad::ctl
