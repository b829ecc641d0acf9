#include "simulated_storage.h"

#include <emscripten.h>

#include <sys/stat.h>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "emulated_keypad/keypad_protocol.h"
#include "platforms.h"

// clang-format off
EM_JS(char*, qp_page_load_stored, (const char* key), {
    return allocateUTF8(QuillpadPage.loadStored(UTF8ToString(key)));
});
EM_JS(void, qp_page_store, (const char* key, const char* value), {
    QuillpadPage.store(UTF8ToString(key), UTF8ToString(value));
});
// clang-format on

namespace quillpad {
namespace {

constexpr const char* kStorageKey = "quillpad-config.simulated-keypad";
constexpr const char* kFolder = "/simulated";
constexpr const char* kStateFile = "/simulated/keypad.bin";

std::string ToHex(const std::string& bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char b : bytes) {
        hex += kDigits[b >> 4];
        hex += kDigits[b & 0x0F];
    }
    return hex;
}

// The bytes of hex; empty for anything that is not an even run of hex digits.
std::string FromHex(const std::string& hex) {
    std::string bytes;
    if (hex.size() % 2 != 0) {
        return {};
    }
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        char* end = nullptr;
        const std::string pair = hex.substr(i, 2);
        const long value = std::strtol(pair.c_str(), &end, 16);
        if (end != pair.c_str() + 2) {
            return {};
        }
        bytes += static_cast<char>(value);
    }
    return bytes;
}

std::string ReadAll(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

std::unique_ptr<HidPlatform> SimulatedStorage::Open(std::string& error) {
    mkdir(kFolder, 0700);
    char* stored = qp_page_load_stored(kStorageKey);
    const std::string hex = stored != nullptr ? stored : "";
    std::free(stored);
    const std::string bytes = FromHex(hex);
    // Memory the browser holds is used when it is a whole keypad's; anything else (a first
    // visit, storage another page damaged) gives a keypad that was never written. The file
    // is made here: the in-memory file system has no hard links, which creating a missing
    // state file without replacing another one needs.
    std::string memory = bytes;
    if (memory.size() == kKeypadMemorySize) {
        stored_ = hex;
    } else {
        const KeypadMemory factory = FactoryMemory();
        memory.assign(factory.begin(), factory.end());
    }
    std::ofstream(kStateFile, std::ios::binary | std::ios::trunc) << memory;
    std::unique_ptr<HidPlatform> platform = MakeSimulatedKeypad(kStateFile, error);
    Persist();
    return platform;
}

void SimulatedStorage::Persist() {
    const std::string bytes = ReadAll(kStateFile);
    if (bytes.size() != kKeypadMemorySize) {
        return;
    }
    const std::string hex = ToHex(bytes);
    if (hex != stored_) {
        qp_page_store(kStorageKey, hex.c_str());
        stored_ = hex;
    }
}

}  // namespace quillpad
