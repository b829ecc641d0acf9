// A bounded parser for HID report descriptors, which come from the device and are not trusted.
// It finds every top-level application collection with its usage and the byte lengths of its
// input, output and feature reports as the Windows HID parser states them: the longest report
// of the kind in that collection, plus one byte for the report ID (also when the device uses
// no report IDs); 0 when the collection has no report of the kind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quillpad {

struct TopLevelCollection {
    std::uint16_t usagePage = 0;
    std::uint16_t usage = 0;
    std::uint16_t inputReportByteLength = 0;
    std::uint16_t outputReportByteLength = 0;
    std::uint16_t featureReportByteLength = 0;
};

// The largest descriptor accepted (the Linux kernel's own limit).
inline constexpr std::size_t kMaxReportDescriptorSize = 4096;

// False with a one-line error for a descriptor that is malformed, truncated, too large, or
// holds no top-level application collection; collections is then empty.
bool ParseReportDescriptor(const std::uint8_t* data, std::size_t size,
                           std::vector<TopLevelCollection>& collections, std::string& error);

}  // namespace quillpad
