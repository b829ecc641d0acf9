// The keypad's side of the protocol (device/emulated_keypad/keypad_protocol.h) for the
// browser tests: compiled to WebAssembly for node, it answers the reports the page sends to
// the test's stand-in for navigator.hid, as a keypad would.
#include <emscripten.h>

#include <cstring>
#include <memory>

#include "emulated_keypad/keypad_protocol.h"

namespace {

// The keypad's configuration interface: 8 bytes of payload a report, after the report ID.
constexpr std::size_t kOutputReportLength = 9;

std::unique_ptr<quillpad::KeypadProtocol> gKeypad;
std::uint8_t gFeature[1 + quillpad::kKeypadMemorySize];

quillpad::KeypadProtocol& Keypad() {
    if (!gKeypad) {
        gKeypad = std::make_unique<quillpad::KeypadProtocol>(
            quillpad::FactoryMemory(), kOutputReportLength, quillpad::MemoryEnd::kWrap);
    }
    return *gKeypad;
}

}  // namespace

extern "C" {

// A keypad that was never written.
EMSCRIPTEN_KEEPALIVE void fk_reset() {
    gKeypad.reset();
    Keypad();
}

// The keypad's 256 bytes of memory, to read or to preset.
EMSCRIPTEN_KEEPALIVE std::uint8_t* fk_memory() {
    return Keypad().Memory().data();
}

// One output report as the host wrote it, report ID first. Returns the OutputEvent, and
// -1 when the host broke the protocol.
EMSCRIPTEN_KEEPALIVE int fk_output(const std::uint8_t* report, int length) {
    const quillpad::OutputResult result =
        Keypad().OnOutputReport({report, static_cast<std::size_t>(length)});
    return result.violations.empty() ? static_cast<int>(result.event) : -1;
}

// A feature request: the answer (report ID, then the bytes asked for) in fk_feature_data();
// its length, or -1 when the keypad refuses it.
EMSCRIPTEN_KEEPALIVE int fk_feature(int reportNumber) {
    const quillpad::FeatureResult result =
        Keypad().OnFeatureRequest(static_cast<std::uint8_t>(reportNumber));
    if (!result.answered || !result.violations.empty()) {
        return -1;
    }
    const std::size_t length = std::min(result.report.size(), sizeof gFeature);
    std::memcpy(gFeature, result.report.data(), length);
    return static_cast<int>(length);
}

EMSCRIPTEN_KEEPALIVE const std::uint8_t* fk_feature_data() {
    return gFeature;
}

}  // extern "C"
