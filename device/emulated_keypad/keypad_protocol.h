// The keypad's side of the block transfer protocol, without any I/O: it takes the output
// reports and feature requests the host sends, keeps the keypad's 256-byte memory, and says
// what the host did wrong. The simulated keypad, the test platform and quillpad-emu all put
// it behind their transports.
//
// What the host must send: an 8-byte command header (0A 0B 0C 0D, start address, byte count
// with 00 standing for 256, 01 read or 02 write, 00) in its own run of output reports; for a
// write the data in the next reports, from the start address; for a read one feature request
// for report 0, answered with 0x00 followed by the memory from the start address. Every output
// report is the report number 0x00 followed by the payload, zero-padded at the end of a run.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "keypad_interface.h"

namespace quillpad {

using KeypadMemory = std::array<std::uint8_t, kKeypadMemorySize>;

// What one output report did.
enum class OutputEvent {
    kHeaderPart,     // part of a header; more header bytes are due
    kReadHeader,     // a read header is complete: a feature request is due
    kWriteHeader,    // a write header is complete: its data reports are due
    kData,           // data stored; more data reports are due
    kWriteComplete,  // the last data report of a write was stored
    kRejected,       // the header was not understood; the keypad waits for a new header
};

struct OutputResult {
    OutputEvent event = OutputEvent::kHeaderPart;
    std::vector<std::string> violations;  // empty when the host kept the protocol
};

struct FeatureResult {
    bool answered = false;             // false: the request is refused with an error
    std::vector<std::uint8_t> report;  // 0x00, then the requested bytes
    std::vector<std::string> violations;
};

// What a transfer does beyond the end of the memory (a violation either way; the firmware's
// own choice): the emulator keeps what fits and answers zeros, the simulated keypad and the
// test platform carry on from address 0 as an 8-bit address counter would.
enum class MemoryEnd { kKeepWhatFits, kWrap };

// A keypad that was never written: zeros, and the block marker (kBlockMarker at
// kBlockMarkerOffset).
KeypadMemory FactoryMemory();

class KeypadProtocol {
  public:
    explicit KeypadProtocol(const KeypadMemory& memory = FactoryMemory(),
                            std::size_t outputReportLength = kKeypadOutputReportLength,
                            MemoryEnd end = MemoryEnd::kKeepWhatFits);

    // One output report exactly as the host wrote it, report number byte included.
    OutputResult OnOutputReport(std::span<const std::uint8_t> report);
    // A feature request for reportNumber.
    FeatureResult OnFeatureRequest(std::uint8_t reportNumber);
    // The same for a transport that hands on the host's buffer of length bytes (byte 0 the
    // report number): the answer goes into it, zeros after. False when it is refused.
    bool AnswerFeature(std::uint8_t* buffer, std::size_t length);

    const KeypadMemory& Memory() const { return memory_; }
    KeypadMemory& Memory() { return memory_; }
    // True between a read header and its feature request.
    bool AwaitingFeature() const { return phase_ == Phase::kAwaitFeature; }
    // True between a write header and the last data byte of its write.
    bool Writing() const { return phase_ == Phase::kWriteData; }
    // Drops a command begun (its transport went away): the keypad waits for a new header.
    void Abandon();

  private:
    enum class Phase { kHeader, kWriteData, kAwaitFeature };

    OutputEvent TakeHeaderBytes(std::span<const std::uint8_t> payload,
                                std::vector<std::string>& violations);
    OutputEvent TakeDataBytes(std::span<const std::uint8_t> payload,
                              std::vector<std::string>& violations);
    OutputEvent StartCommand(std::vector<std::string>& violations);

    // The memory byte at address, or nullptr past the end when the memory does not wrap.
    std::uint8_t* At(std::size_t address);

    KeypadMemory memory_;
    std::size_t outputReportLength_;
    MemoryEnd end_;
    Phase phase_ = Phase::kHeader;
    std::vector<std::uint8_t> header_;
    std::size_t address_ = 0;    // next memory address of the command
    std::size_t remaining_ = 0;  // bytes of the command still due
    std::size_t count_ = 0;      // byte count of the command
};

// "0a 0b 0c" for a byte run; the form used in logs and messages.
std::string HexBytes(std::span<const std::uint8_t> bytes);

}  // namespace quillpad
