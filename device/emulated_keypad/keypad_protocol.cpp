#include "keypad_protocol.h"

#include <algorithm>
#include <cstdio>

namespace quillpad {

namespace {

std::string Byte(std::uint8_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

bool AllZero(std::span<const std::uint8_t> bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; });
}

}  // namespace

std::string HexBytes(std::span<const std::uint8_t> bytes) {
    std::string text;
    text.reserve(bytes.size() * 3);
    for (std::uint8_t b : bytes) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02x", b);
        if (!text.empty()) {
            text += ' ';
        }
        text += hex;
    }
    return text;
}

KeypadMemory FactoryMemory() {
    KeypadMemory memory{};
    memory[kBlockMarkerOffset] = kBlockMarker;
    return memory;
}

KeypadProtocol::KeypadProtocol(const KeypadMemory& memory, std::size_t outputReportLength,
                               MemoryEnd end)
    : memory_(memory),
      outputReportLength_(std::max<std::size_t>(outputReportLength, 2)),
      end_(end) {}

void KeypadProtocol::Abandon() {
    phase_ = Phase::kHeader;
    header_.clear();
    remaining_ = 0;
}

std::uint8_t* KeypadProtocol::At(std::size_t address) {
    if (end_ == MemoryEnd::kWrap) {
        return &memory_[address % kKeypadMemorySize];
    }
    return address < kKeypadMemorySize ? &memory_[address] : nullptr;
}

OutputResult KeypadProtocol::OnOutputReport(std::span<const std::uint8_t> report) {
    OutputResult result;
    auto& violations = result.violations;
    if (report.empty()) {
        violations.push_back("empty output report");
        result.event = phase_ == Phase::kHeader && header_.empty() ? OutputEvent::kRejected
                                                                   : OutputEvent::kHeaderPart;
        return result;
    }
    if (report.size() != outputReportLength_) {
        violations.push_back("output report of " + std::to_string(report.size()) +
                             " bytes; the keypad's output reports are " +
                             std::to_string(outputReportLength_) +
                             " bytes (report number 0x00 and " +
                             std::to_string(outputReportLength_ - 1) + " payload bytes)");
    }
    if (report[0] != 0x00) {
        violations.push_back("output report starts with " + Byte(report[0]) +
                             "; byte 0 must be the report number 0x00 (the keypad has no "
                             "numbered reports)");
    }
    auto payload = report.subspan(1, std::min(report.size(), outputReportLength_) - 1);

    if (phase_ == Phase::kAwaitFeature) {
        violations.push_back(
            "output report where the feature request of the read header "
            "was due; the read is dropped and a new command begins");
        phase_ = Phase::kHeader;
        header_.clear();
    }
    if (phase_ == Phase::kWriteData) {
        result.event = TakeDataBytes(payload, violations);
    } else {
        result.event = TakeHeaderBytes(payload, violations);
    }
    return result;
}

OutputEvent KeypadProtocol::TakeHeaderBytes(std::span<const std::uint8_t> payload,
                                            std::vector<std::string>& violations) {
    std::size_t take = std::min(payload.size(), kCommandHeaderSize - header_.size());
    header_.insert(header_.end(), payload.begin(), payload.begin() + take);
    if (header_.size() < kCommandHeaderSize) {
        return OutputEvent::kHeaderPart;
    }
    if (!AllZero(payload.subspan(take))) {
        violations.push_back("non-zero bytes after the command header in its last report (" +
                             HexBytes(payload) + "); the header run must be zero-padded");
    }
    return StartCommand(violations);
}

OutputEvent KeypadProtocol::StartCommand(std::vector<std::string>& violations) {
    std::vector<std::uint8_t> header;
    header.swap(header_);
    std::string shown = " (" + HexBytes(header) + ")";
    if (!std::equal(kCommandMagic.begin(), kCommandMagic.end(), header.begin())) {
        violations.push_back("bad command header" + shown + ": it must begin 0a 0b 0c 0d");
        return OutputEvent::kRejected;
    }
    std::uint8_t operation = header[6];
    if (operation != kOpRead && operation != kOpWrite) {
        violations.push_back("bad command header" + shown + ": operation " + Byte(operation) +
                             " is neither 0x01 (read) nor 0x02 (write)");
        return OutputEvent::kRejected;
    }
    if (header[7] != 0x00) {
        violations.push_back("bad command header" + shown + ": its last byte must be 0x00");
        return OutputEvent::kRejected;
    }
    address_ = header[4];
    count_ = header[5] == 0 ? kKeypadMemorySize : header[5];
    remaining_ = count_;
    if (address_ + count_ > kKeypadMemorySize) {
        violations.push_back(std::string(operation == kOpRead ? "read" : "write") + " of " +
                             std::to_string(count_) + " bytes at address " +
                             Byte(static_cast<std::uint8_t>(address_)) +
                             " runs past the end of the 256-byte memory");
    }
    if (operation == kOpRead) {
        phase_ = Phase::kAwaitFeature;
        return OutputEvent::kReadHeader;
    }
    phase_ = Phase::kWriteData;
    return OutputEvent::kWriteHeader;
}

OutputEvent KeypadProtocol::TakeDataBytes(std::span<const std::uint8_t> payload,
                                          std::vector<std::string>& violations) {
    std::size_t take = std::min(payload.size(), remaining_);
    for (std::size_t i = 0; i < take; ++i) {
        if (std::uint8_t* byte = At(address_)) {
            *byte = payload[i];
        }
        ++address_;
    }
    remaining_ -= take;
    if (remaining_ > 0) {
        return OutputEvent::kData;
    }
    if (!AllZero(payload.subspan(take))) {
        violations.push_back("non-zero bytes after the last data byte of the write (" +
                             HexBytes(payload) + "); the data run must be zero-padded");
    }
    phase_ = Phase::kHeader;
    return OutputEvent::kWriteComplete;
}

bool KeypadProtocol::AnswerFeature(std::uint8_t* buffer, std::size_t length) {
    if (buffer == nullptr || length == 0) {
        return false;
    }
    const FeatureResult result = OnFeatureRequest(buffer[0]);
    if (!result.answered) {
        return false;
    }
    const std::size_t n = std::min(length, result.report.size());
    std::copy(result.report.begin(), result.report.begin() + n, buffer);
    std::fill(buffer + n, buffer + length, std::uint8_t{0});
    return true;
}

FeatureResult KeypadProtocol::OnFeatureRequest(std::uint8_t reportNumber) {
    FeatureResult result;
    if (phase_ != Phase::kAwaitFeature) {
        result.violations.push_back(phase_ == Phase::kWriteData
                                        ? "feature request in the middle of a write (" +
                                              std::to_string(remaining_) +
                                              " data bytes still due); the write is dropped"
                                        : std::string("feature request without a read header"));
        phase_ = Phase::kHeader;
        header_.clear();
        return result;
    }
    phase_ = Phase::kHeader;
    if (reportNumber != 0) {
        result.violations.push_back("feature request for report " + Byte(reportNumber) +
                                    "; the keypad has only report 0x00");
        return result;
    }
    result.answered = true;
    result.report.assign(count_ + 1, 0x00);
    for (std::size_t i = 0; i < count_; ++i) {
        if (const std::uint8_t* byte = At(address_ + i)) {
            result.report[i + 1] = *byte;
        }
    }
    return result;
}

}  // namespace quillpad
