// quillpad-emu: a virtual keypad on /dev/uhid, for trying the configuration tool without the
// hardware and for the booted-kernel tests.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "assignment_text.h"
#include "platform/sim/state_file.h"
#include "report_descriptors.h"
#include "uhid_emulator.h"

namespace {

using quillpad::emu::EmulatorConfig;
using quillpad::emu::Fault;

const char kUsage[] =
    "usage: quillpad-emu [options]\n"
    "Presents a virtual keypad (vendor 1130, product 660c) through /dev/uhid until Ctrl+C.\n"
    "Needs root and the uhid kernel module.\n"
    "\n"
    "  --state FILE       keep the keypad's 256-byte memory in FILE (read at start, written\n"
    "                     after every completed write); a missing FILE is created holding a\n"
    "                     fresh keypad's memory (zeros, byte 90 = 0xFC)\n"
    "  --log FILE         append one line per event (reports, requests, violations) to FILE\n"
    "  --name TEXT        the device name (default \"Quillpad virtual keypad\")\n"
    "  --verbose          print every event on stderr\n"
    "For tests:\n"
    "  --fault KIND       no-feature-reply | vanish-after-write-header | vanish-during-feature\n"
    "  --vendor HEX       another vendor id (default 1130)\n"
    "  --product HEX      another product id (default 660c)\n"
    "  --usage-page HEX   the collection's usage page (default 1)\n"
    "  --usage HEX        the collection's usage (default 3)\n"
    "  --keyboard         present a plain keyboard instead of the keypad's interface\n";

bool ParseHex16(const char* text, std::uint16_t& value) {
    char* end = nullptr;
    errno = 0;
    unsigned long parsed = std::strtoul(text, &end, 16);
    if (errno != 0 || end == text || *end != '\0' || parsed > 0xFFFF) {
        return false;
    }
    value = static_cast<std::uint16_t>(parsed);
    return true;
}

bool ParseFault(const std::string& text, Fault& fault) {
    if (text == "no-feature-reply") {
        fault = Fault::kNoFeatureReply;
    } else if (text == "vanish-after-write-header") {
        fault = Fault::kVanishAfterWriteHeader;
    } else if (text == "vanish-during-feature") {
        fault = Fault::kVanishDuringFeature;
    } else {
        return false;
    }
    return true;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "quillpad-emu: %s\n%s", message.c_str(), kUsage);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    EmulatorConfig config;
    std::uint16_t usagePage = 0x01;
    std::uint16_t usage = 0x03;
    bool keyboard = false;
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        if (option == "--help" || option == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (option == "--verbose") {
            config.verbose = true;
            continue;
        }
        if (option == "--keyboard") {
            keyboard = true;
            continue;
        }
        if (i + 1 >= argc) {
            return Fail("unknown option or missing value: " + option);
        }
        const char* value = argv[++i];
        bool good = true;
        if (option == "--state") {
            config.statePath = value;
        } else if (option == "--log") {
            config.logPath = value;
        } else if (option == "--name") {
            config.name = value;
        } else if (option == "--fault") {
            good = ParseFault(value, config.fault);
        } else if (option == "--vendor") {
            good = ParseHex16(value, config.vendor);
        } else if (option == "--product") {
            good = ParseHex16(value, config.product);
        } else if (option == "--usage-page") {
            good = ParseHex16(value, usagePage);
        } else if (option == "--usage") {
            good = ParseHex16(value, usage);
        } else {
            return Fail("unknown option: " + option);
        }
        if (!good) {
            return Fail("bad value for " + option + ": " + value);
        }
    }
    config.descriptor = keyboard ? quillpad::emu::KeyboardDescriptor()
                                 : quillpad::emu::KeypadDescriptor(usagePage, usage);
    config.speaksKeypadProtocol = !keyboard;

    // Without a state file the keypad starts as one that was never written.
    quillpad::ConfigBlock memory{};
    memory[quillpad::kBlockMarkerOffset] = quillpad::kBlockMarker;
    std::string error;
    if (!config.statePath.empty() && !quillpad::LoadStateFile(config.statePath, memory, error)) {
        std::fprintf(stderr, "quillpad-emu: %s\n", quillpad::ShowForMessage(error).c_str());
        return 1;
    }
    return quillpad::emu::RunUhidEmulator(config, memory);
}
