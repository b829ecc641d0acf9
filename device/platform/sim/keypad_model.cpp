#include "keypad_model.h"

#include <algorithm>

namespace quillpad {

namespace {
constexpr std::uint8_t kMagic[4] = {0x0A, 0x0B, 0x0C, 0x0D};
}

KeypadModel::KeypadModel() {
    memory_[90] = 0xFC;
}

void KeypadModel::Abandon() {
    state_ = State::kHeader;
    headerFill_ = 0;
    remaining_ = 0;
    readPending_ = false;
}

void KeypadModel::OnHeader() {
    ++headersSeen_;
    address_ = header_[4];
    const std::size_t count = header_[5] == 0 ? 256 : header_[5];
    readPending_ = false;
    if (header_[6] == 0x02) {
        state_ = State::kData;
        remaining_ = count;
    } else if (header_[6] == 0x01) {
        readPending_ = true;
        readCount_ = count;
    }
}

bool KeypadModel::OnOutputReport(const std::uint8_t* report, std::size_t length) {
    if (report == nullptr || length < 2) {
        return false;
    }
    const std::uint8_t* payload = report + 1;
    const std::size_t size = length - 1;
    if (state_ == State::kData) {
        // Each run starts in a fresh report: the padding after the last data byte is dropped.
        const std::size_t take = std::min(size, remaining_);
        for (std::size_t i = 0; i < take; ++i) {
            memory_[address_++] = payload[i];  // wraps at the end of the memory
        }
        remaining_ -= take;
        if (remaining_ == 0) {
            state_ = State::kHeader;
            ++writesCompleted_;
            if (writeDone_ && !writeDone_(memory_)) {
                return false;
            }
        }
        return true;
    }
    // Collect the 8 header bytes, which may span several short reports; the rest of the
    // report that completes them is padding. Bytes that cannot start a header are dropped.
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint8_t byte = payload[i];
        if (headerFill_ < 4 && byte != kMagic[headerFill_]) {
            headerFill_ = byte == kMagic[0] ? 1 : 0;
            header_[0] = byte;
            continue;
        }
        header_[headerFill_++] = byte;
        if (headerFill_ == header_.size()) {
            headerFill_ = 0;
            OnHeader();
            return true;
        }
    }
    return true;
}

bool KeypadModel::OnGetFeature(std::uint8_t* buffer, std::size_t length) {
    if (!readPending_ || buffer == nullptr || length == 0) {
        return false;
    }
    readPending_ = false;
    buffer[0] = 0x00;
    const std::size_t count = std::min(length - 1, readCount_);
    std::uint8_t address = address_;
    for (std::size_t i = 0; i < count; ++i) {
        buffer[1 + i] = memory_[address++];
    }
    std::fill(buffer + 1 + count, buffer + length, std::uint8_t{0});
    return true;
}

}  // namespace quillpad
