// The device library on the real kernel HID stack: run inside the booted test kernel, as root,
// with uhid loaded. Each scenario starts quillpad-emu processes (virtual keypads and foreign
// devices), drives the real DevEnumerate, DevSelect, DevReadBlock and DevWriteBlock through the
// Linux hidraw backend, and checks what the host got and what the keypad saw.
//
// Usage: kernel_scenarios EMULATOR WORK_DIR
// Exit status: 0 every scenario passed, 1 one failed, 2 the scenarios could not be set up.
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dev.h"
#include "emulator_process.h"

namespace quillpad::kernel_test {
namespace {

using Bytes = std::vector<unsigned char>;

constexpr int kBlockSize = 256;
constexpr std::size_t kOutputReportLength = 8;  // the keypad's: report number + 7 bytes
constexpr unsigned kScenarioSeconds = 30;       // well above uhid's 5 s feature timeout

std::string emulatorPath;
std::string workDir;
const char* currentScenario = "";

// Set-up problems are not the host's fault: they end the run as a harness error.
class SetupError : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

class Scenario {
  public:
    explicit Scenario(const char* name) : name_(name) {}

    void Expect(bool good, const std::string& what) {
        if (!good) {
            failures_.push_back(what);
        }
    }
    template <typename A, typename B>
    void ExpectEq(const A& actual, const B& expected, const std::string& what) {
        Expect(actual == expected,
               what + ": got " + std::to_string(actual) + ", expected " + std::to_string(expected));
    }

    std::unique_ptr<EmulatorProcess> Start(const std::string& tag,
                                           const std::vector<std::string>& args) {
        auto emulator = std::make_unique<EmulatorProcess>(emulatorPath, workDir, tag, args);
        if (emulator->node().empty()) {
            throw SetupError("emulator " + tag + ": " + emulator->error());
        }
        return emulator;
    }

    bool Report() const {
        std::printf("%s %s\n", failures_.empty() ? "PASS" : "FAIL", name_);
        for (const std::string& failure : failures_) {
            std::printf("     - %s\n", failure.c_str());
        }
        std::fflush(stdout);
        return failures_.empty();
    }

  private:
    const char* name_;
    std::vector<std::string> failures_;
};

Bytes Pattern(unsigned char seed) {
    Bytes bytes(kBlockSize);
    for (int i = 0; i < kBlockSize; ++i) {
        bytes[i] = static_cast<unsigned char>(seed + i * 13 + (i >> 3));
    }
    return bytes;
}

Bytes FreshKeypad() {
    Bytes bytes(kBlockSize, 0x00);
    bytes[90] = 0xFC;
    return bytes;
}

std::string StateFor(const std::string& tag, const Bytes& memory) {
    std::string path = workDir + "/" + tag + ".bin";
    if (!WriteStateFile(path, memory)) {
        throw SetupError("cannot write " + path);
    }
    return path;
}

std::string Hex(const Bytes& bytes) {
    std::string text;
    for (unsigned char b : bytes) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%s%02x", text.empty() ? "" : " ", b);
        text += hex;
    }
    return text;
}

// The output reports that carry a run of bytes, as the keypad's log shows them: each starts
// with the report number 0x00, the run is zero-padded at its end.
std::vector<std::string> Reports(const Bytes& run) {
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < run.size(); at += kOutputReportLength - 1) {
        Bytes report(kOutputReportLength, 0x00);
        for (std::size_t j = 1; j < kOutputReportLength && at + j - 1 < run.size(); ++j) {
            report[j] = run[at + j - 1];
        }
        lines.push_back("output " + Hex(report));
    }
    return lines;
}

void Append(std::vector<std::string>& to, const std::vector<std::string>& more) {
    to.insert(to.end(), more.begin(), more.end());
}

// What the keypad must see for a whole-block read: the header, then one feature request for
// report 0 (feature requests are report type 0 in uhid's numbering).
void ExpectRead(std::vector<std::string>& seen) {
    Append(seen, Reports({0x0A, 0x0B, 0x0C, 0x0D, 0x00, 0x00, 0x01, 0x00}));
    seen.push_back("get-report type=0 number=0");
}

void ExpectWrite(std::vector<std::string>& seen, const Bytes& data) {
    Append(seen, Reports({0x0A, 0x0B, 0x0C, 0x0D, 0x00, 0x00, 0x02, 0x00}));
    Append(seen, Reports(data));
}

// The first line where two transcripts part, for the failure message.
std::string FirstDifference(const std::vector<std::string>& got,
                            const std::vector<std::string>& expected) {
    for (std::size_t i = 0; i < got.size() || i < expected.size(); ++i) {
        std::string a = i < got.size() ? got[i] : "(nothing)";
        std::string b = i < expected.size() ? expected[i] : "(nothing)";
        if (a != b) {
            return "line " + std::to_string(i + 1) + " of " + std::to_string(got.size()) +
                   ": got '" + a + "', expected '" + b + "'";
        }
    }
    return "";
}

int ReadSlot(int index, Bytes& into) {
    DevSelect(index);
    into.assign(kBlockSize, 0x5A);
    return DevReadBlock(into.data(), 0, kBlockSize);
}

void OneKeypad(Scenario& s) {
    std::string state = workDir + "/one.bin";
    unlink(state.c_str());
    auto keypad = s.Start("one", {"--state", state});

    s.ExpectEq(DevEnumerate(nullptr), 1, "DevEnumerate with one keypad");
    s.ExpectEq(OpenHidrawHandles(), 1, "hidraw descriptors open after DevEnumerate");
    Bytes fresh;
    s.ExpectEq(ReadSlot(0, fresh), 1, "DevReadBlock of the fresh keypad");
    s.Expect(fresh == FreshKeypad(), "a fresh keypad reads back as zeros with 0xFC at byte 90");

    Bytes block = Pattern(0x31);
    s.ExpectEq(DevWriteBlock(block.data(), 0, kBlockSize), 1, "DevWriteBlock of 256 bytes");
    Bytes back;
    s.ExpectEq(ReadSlot(0, back), 1, "DevReadBlock after the write");
    s.Expect(back == block, "the block read back is the block written");

    std::vector<std::string> expected;
    ExpectRead(expected);
    ExpectWrite(expected, block);
    ExpectRead(expected);
    auto seen = keypad->LogLines({"output", "get-report", "set-report", "violation"});
    s.Expect(seen == expected, "the keypad saw exactly the prescribed reports; first difference: " +
                                   FirstDifference(seen, expected));

    s.ExpectEq(keypad->Stop(), 0, "emulator exit status (3: it saw protocol violations)");
    s.Expect(ReadWholeFile(state) == block, "the emulator kept the written block in its state");
}

void TwoKeypads(Scenario& s) {
    Bytes first = Pattern(0x11);
    Bytes second = Pattern(0x92);
    auto a = s.Start("first", {"--state", StateFor("first", first)});
    auto b = s.Start("second", {"--state", StateFor("second", second)});

    s.ExpectEq(DevEnumerate(nullptr), 2, "DevEnumerate with two keypads");
    s.ExpectEq(OpenHidrawHandles(), 2, "hidraw descriptors open after DevEnumerate");
    Bytes got;
    s.ExpectEq(ReadSlot(0, got), 1, "DevReadBlock on slot 0");
    s.Expect(got == first, "slot 0 holds the first keypad listed (" + a->node() + ")");
    s.ExpectEq(ReadSlot(1, got), 1, "DevReadBlock on slot 1");
    s.Expect(got == second, "DevSelect(1) reads the second keypad (" + b->node() + ")");
    s.ExpectEq(DevReadBlockAt(2, got.data(), 0, kBlockSize), 0, "DevReadBlockAt of empty slot 2");
}

void ForeignDevices(Scenario& s) {
    // Listed before the keypad, so a backend that opens what it walks past meets them first.
    auto otherVendor = s.Start(
        "vendor-1131", {"--vendor", "1131", "--state", StateFor("vendor-1131", Pattern(0x44))});
    auto otherProduct = s.Start(
        "product-660d", {"--product", "660d", "--state", StateFor("product-660d", Pattern(0x55))});
    auto keyboard = s.Start("keyboard", {"--vendor", "1209", "--product", "0001", "--keyboard"});
    Bytes memory = Pattern(0x66);
    auto keypad = s.Start("keypad", {"--state", StateFor("keypad", memory)});

    OpenWatch watch;
    for (const auto* foreign : {otherVendor.get(), otherProduct.get(), keyboard.get()}) {
        if (!watch.Add(foreign->node())) {
            throw SetupError("cannot watch " + foreign->node());
        }
    }
    s.ExpectEq(DevEnumerate(nullptr), 1, "DevEnumerate beside three foreign devices");
    Bytes got;
    s.ExpectEq(ReadSlot(0, got), 1, "DevReadBlock on slot 0");
    s.Expect(got == memory, "slot 0 is the keypad, not a foreign device");
    for (const std::string& node : watch.Opened()) {
        s.Expect(false, "the backend opened the foreign device " + node);
    }
    for (const auto* foreign : {otherVendor.get(), otherProduct.get()}) {
        s.Expect(foreign->LogLines({"open", "output", "get-report"}).empty(),
                 "the foreign device on " + foreign->node() + " was opened or written to");
    }
    s.ExpectEq(OpenHidrawHandles(), 1, "hidraw descriptors open after DevEnumerate");
}

void NoFeatureAnswer(Scenario& s) {
    auto keypad = s.Start("silent", {"--fault", "no-feature-reply"});
    s.ExpectEq(DevEnumerate(nullptr), 1, "DevEnumerate");
    auto started = std::chrono::steady_clock::now();
    Bytes got;
    s.ExpectEq(ReadSlot(0, got), 0, "DevReadBlock from a keypad that never answers");
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("     (the read gave up after %.1f s)\n", seconds);
    s.Expect(got == Bytes(kBlockSize, 0x5A), "a failed read leaves the caller's buffer untouched");
    s.Expect(!keypad->LogLines({"get-report"}).empty(), "the feature request reached the keypad");
    s.ExpectEq(DevEnumerate(nullptr), 1, "DevEnumerate after the failed read still finds it");
    s.ExpectEq(OpenHidrawHandles(), 1, "hidraw descriptors open after DevEnumerate");
}

// After a keypad vanished mid-transfer: nothing counted, nothing left open.
void ExpectGone(Scenario& s, EmulatorProcess& keypad) {
    s.ExpectEq(keypad.WaitExit(5), 0, "the emulator vanished as told");
    s.ExpectEq(DevEnumerate(nullptr), 0, "DevEnumerate after the keypad vanished");
    s.ExpectEq(OpenHidrawHandles(), 0, "hidraw descriptors left open after DevEnumerate");
}

void VanishAfterWriteHeader(Scenario& s) {
    auto keypad = s.Start("vanish-write", {"--fault", "vanish-after-write-header"});
    s.ExpectEq(DevEnumerate(nullptr), 1, "DevEnumerate");
    DevSelect(0);
    Bytes block = Pattern(0x77);
    s.ExpectEq(DevWriteBlock(block.data(), 0, kBlockSize), 0,
               "DevWriteBlock to a keypad that vanished after the header");
    ExpectGone(s, *keypad);
}

void VanishDuringRead(Scenario& s) {
    auto keypad = s.Start("vanish-read", {"--fault", "vanish-during-feature"});
    s.ExpectEq(DevEnumerate(nullptr), 1, "DevEnumerate");
    Bytes got;
    s.ExpectEq(ReadSlot(0, got), 0, "DevReadBlock from a keypad that vanished during the read");
    s.Expect(got == Bytes(kBlockSize, 0x5A), "a failed read leaves the caller's buffer untouched");
    ExpectGone(s, *keypad);
}

void NotUsage3(Scenario& s) {
    auto keyboardInterface = s.Start("usage-6", {"--usage", "6"});
    auto otherPage = s.Start("page-ff00", {"--usage-page", "ff00"});
    s.ExpectEq(DevEnumerate(nullptr), 0,
               "DevEnumerate with keypad ids but collections of usage 1:6 and ff00:3");
    s.ExpectEq(OpenHidrawHandles(), 0, "hidraw descriptors left open after DevEnumerate");
}

void OnWatchdog(int) {
    const char prefix[] = "FAIL ";
    const char suffix[] = ": did not finish (hung)\n";
    (void)!write(STDOUT_FILENO, prefix, sizeof prefix - 1);
    (void)!write(STDOUT_FILENO, currentScenario, std::strlen(currentScenario));
    (void)!write(STDOUT_FILENO, suffix, sizeof suffix - 1);
    _exit(1);
}

}  // namespace
}  // namespace quillpad::kernel_test

int main(int argc, char** argv) {
    using namespace quillpad::kernel_test;
    if (argc != 3) {
        std::fprintf(stderr, "usage: kernel_scenarios EMULATOR WORK_DIR\n");
        return 2;
    }
    emulatorPath = argv[1];
    workDir = argv[2];
    signal(SIGALRM, OnWatchdog);

    const std::vector<std::pair<const char*, std::function<void(Scenario&)>>> scenarios = {
        {"one keypad: round trip and exactly the prescribed reports", OneKeypad},
        {"two keypads: slots in listing order", TwoKeypads},
        {"foreign HID devices are never opened nor counted", ForeignDevices},
        {"a keypad that never answers a feature request", NoFeatureAnswer},
        {"a keypad that vanishes after a write header", VanishAfterWriteHeader},
        {"a keypad that vanishes while a read is pending", VanishDuringRead},
        {"collections other than usage page 1, usage 3 are not keypads", NotUsage3},
    };
    bool allPassed = true;
    for (const auto& [name, run] : scenarios) {
        currentScenario = name;
        if (!WaitNoHidrawNodes(5)) {
            std::printf("SETUP ERROR %s: hidraw nodes of the previous scenario remain\n", name);
            return 2;
        }
        alarm(kScenarioSeconds);
        Scenario scenario(name);
        try {
            run(scenario);
        } catch (const SetupError& error) {
            std::printf("SETUP ERROR %s: %s\n", name, error.what());
            return 2;
        }
        alarm(0);
        allPassed = scenario.Report() && allPassed;
        quillpad::DevCloseAll();
    }
    return allPassed ? 0 : 1;
}
