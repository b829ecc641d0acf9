// libFuzzer target: the report descriptor parser must take any bytes a device supplies
// without crashing, reading out of bounds or answering inconsistently.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "report_descriptor.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<quillpad::TopLevelCollection> collections;
    std::string error;
    const bool ok = quillpad::ParseReportDescriptor(data, size, collections, error);
    if (ok == collections.empty() || ok != error.empty()) {
        __builtin_trap();
    }
    for (const quillpad::TopLevelCollection& c : collections) {
        // A kind's length is 0 (no report) or the report ID byte plus at least one byte.
        for (std::uint16_t length :
             {c.inputReportByteLength, c.outputReportByteLength, c.featureReportByteLength}) {
            if (length == 1) {
                __builtin_trap();
            }
        }
    }
    return 0;
}
