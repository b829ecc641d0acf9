// The descriptor command: what a HID report descriptor declares, collection by collection, and
// whether the keypad's configuration interface is among it.
#pragma once

#include <string>
#include <vector>

#include "report_descriptor.h"
#include "status.h"

namespace quillpad::ctl {

// Usage page 1, usage 3, and output reports that can carry a payload.
bool IsConfigurationInterface(const TopLevelCollection& collection);

std::string FormatCollections(const std::vector<TopLevelCollection>& collections);
std::string FormatCollectionsJson(const std::vector<TopLevelCollection>& collections);

// Reads the descriptor in file and prints its collections (as JSON when json is set).
Status RunDescriptor(const std::string& file, bool json, std::string& out);

}  // namespace quillpad::ctl
