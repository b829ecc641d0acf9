// The keypad's side of the transfer protocol: a 256-byte memory that takes a command header,
// stores the data reports of a write and answers the feature request of a read. Used by the
// simulated keypad and by the test fake.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>

namespace quillpad {

class KeypadModel {
  public:
    using Memory = std::array<std::uint8_t, 256>;
    // Called when the last data byte of a write has been stored; false when the memory could
    // not be kept (the report that completed the write then fails).
    using WriteDone = std::function<bool(const Memory&)>;

    KeypadModel();

    Memory& memory() { return memory_; }
    const Memory& memory() const { return memory_; }
    void SetWriteDone(WriteDone done) { writeDone_ = std::move(done); }

    // One output report as the host sends it: byte 0 the report ID, then the payload.
    // False when the report is refused (no payload, or the memory could not be kept).
    bool OnOutputReport(const std::uint8_t* report, std::size_t length);
    // A feature request of length bytes (byte 0 the report ID). Answers the last read header
    // with the memory from its address in bytes 1 to count; false when no read is pending.
    bool OnGetFeature(std::uint8_t* buffer, std::size_t length);

    // True between a write header and the last data byte of its write.
    bool writing() const { return state_ == State::kData; }
    // True between a read header and its feature request.
    bool readPending() const { return readPending_; }
    // Drops a command begun: the keypad waits for a new header.
    void Abandon();

    // What the keypad last heard: for tests.
    int headersSeen() const { return headersSeen_; }
    int writesCompleted() const { return writesCompleted_; }

  private:
    enum class State { kHeader, kData };

    void OnHeader();

    Memory memory_{};
    State state_ = State::kHeader;
    std::array<std::uint8_t, 8> header_{};
    std::size_t headerFill_ = 0;
    std::uint8_t address_ = 0;
    std::size_t remaining_ = 0;  // data bytes a write still expects
    bool readPending_ = false;
    std::size_t readCount_ = 0;
    int headersSeen_ = 0;
    int writesCompleted_ = 0;
    WriteDone writeDone_;
};

}  // namespace quillpad
