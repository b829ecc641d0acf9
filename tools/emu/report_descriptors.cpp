#include "report_descriptors.h"

namespace quillpad::emu {

namespace {

// A short item with a 1- or 2-byte value, whichever holds it. Logical limits are signed: 255
// needs two bytes there.
void Item(std::vector<std::uint8_t>& out, std::uint8_t prefix, std::uint16_t value,
          bool isSigned = false) {
    bool oneByte = value <= (isSigned ? 0x7F : 0xFF);
    out.push_back(static_cast<std::uint8_t>(prefix | (oneByte ? 1 : 2)));
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    if (!oneByte) {
        out.push_back(static_cast<std::uint8_t>(value >> 8));
    }
}

constexpr std::uint8_t kUsagePage = 0x04;
constexpr std::uint8_t kUsage = 0x08;
constexpr std::uint8_t kLogicalMinimum = 0x14;
constexpr std::uint8_t kLogicalMaximum = 0x24;
constexpr std::uint8_t kReportSize = 0x74;
constexpr std::uint8_t kReportCount = 0x94;
constexpr std::uint8_t kCollection = 0xA0;
constexpr std::uint8_t kOutput = 0x90;
constexpr std::uint8_t kFeature = 0xB0;
constexpr std::uint8_t kEndCollection = 0xC0;
constexpr std::uint16_t kApplication = 0x01;
constexpr std::uint16_t kDataVariableAbsolute = 0x02;

}  // namespace

std::vector<std::uint8_t> KeypadDescriptor(std::uint16_t usagePage, std::uint16_t usage) {
    std::vector<std::uint8_t> d;
    Item(d, kUsagePage, usagePage);
    Item(d, kUsage, usage);
    Item(d, kCollection, kApplication);
    Item(d, kUsagePage, 0xFF00);  // the payload bytes carry vendor-defined usages
    Item(d, kLogicalMinimum, 0x00);
    Item(d, kLogicalMaximum, 0xFF, true);
    Item(d, kReportSize, 8);
    Item(d, kUsage, 0x01);
    Item(d, kReportCount, kKeypadOutputReportLength - 1);
    Item(d, kOutput, kDataVariableAbsolute);
    Item(d, kUsage, 0x02);
    Item(d, kReportCount, kKeypadFeatureReportLength - 1);
    Item(d, kFeature, kDataVariableAbsolute);
    d.push_back(kEndCollection);
    return d;
}

std::vector<std::uint8_t> KeyboardDescriptor() {
    return {
        0x05, 0x01,  // usage page (generic desktop)
        0x09, 0x06,  // usage (keyboard)
        0xA1, 0x01,  // collection (application)
        0x05, 0x07,  //   usage page (keyboard): the eight modifier bits
        0x19, 0xE0, 0x29, 0xE7, 0x15, 0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x08, 0x81, 0x02,
        0x95, 0x01, 0x75, 0x08, 0x81, 0x01,  // reserved byte
        0x05, 0x08,                          //   usage page (LEDs): five LED bits, 3 padding
        0x19, 0x01, 0x29, 0x05, 0x95, 0x05, 0x75, 0x01, 0x91, 0x02, 0x95, 0x01, 0x75, 0x03,
        0x91, 0x01, 0x05, 0x07,  //   usage page (keyboard): six key slots
        0x19, 0x00, 0x29, 0x65, 0x15, 0x00, 0x25, 0x65, 0x75, 0x08, 0x95, 0x06, 0x81, 0x00,
        0xC0,  // end collection
    };
}

}  // namespace quillpad::emu
