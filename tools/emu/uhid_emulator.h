// A HID device made from user space through /dev/uhid: the keypad (or, for tests, a foreign
// device) as the kernel and every HID program on the machine see it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config_block.h"
#include "keypad_interface.h"

namespace quillpad::emu {

// Faults the emulator can show on purpose, for testing how the host copes.
enum class Fault {
    kNone,
    kNoFeatureReply,          // never answers a feature request
    kVanishAfterWriteHeader,  // removes itself once a write header is complete
    kVanishDuringFeature,     // removes itself when a feature request arrives
};

struct EmulatorConfig {
    std::string name = "Quillpad virtual keypad";
    std::uint16_t vendor = kKeypadVendorId;
    std::uint16_t product = kKeypadProductId;
    std::vector<std::uint8_t> descriptor;
    bool speaksKeypadProtocol = true;  // false: output reports are only logged
    Fault fault = Fault::kNone;
    std::string statePath;  // where the memory is kept; empty: nowhere
    std::string logPath;    // one line per event; empty: no log
    bool verbose = false;   // also print every event on stderr
};

// Creates the device and serves it until SIGINT or SIGTERM, or until a fault removes it.
// Returns the exit status: 0, 1 on an error, 3 when the host broke the protocol.
int RunUhidEmulator(const EmulatorConfig& config, const ConfigBlock& memory);

}  // namespace quillpad::emu
