#include "state_file.h"

#include <cstring>
#include <string_view>

#include "atomic_file.h"

namespace quillpad {

namespace {

std::string_view Bytes(const KeypadMemory& memory) {
    return {reinterpret_cast<const char*>(memory.data()), memory.size()};
}

}  // namespace

bool ReadStateFile(const std::string& path, KeypadMemory& memory, std::string& error) {
    const std::string what = "cannot read the simulated keypad's memory from " + path + ": ";
    std::string content;
    std::string reason;
    if (!ReadWholeFile(path, memory.size(), true, content, reason)) {
        error = what + reason;
        return false;
    }
    if (content.size() != memory.size()) {
        error =
            what + "it holds " +
            (content.size() > memory.size() ? "more than 256" : std::to_string(content.size())) +
            " bytes; the keypad's memory is exactly 256 bytes (the file is left unchanged)";
        return false;
    }
    std::memcpy(memory.data(), content.data(), memory.size());
    return true;
}

bool LoadStateFile(const std::string& path, KeypadMemory& memory, std::string& error) {
    bool created = false;
    std::string reason;
    if (!CreateFileIfMissing(path, Bytes(FactoryMemory()), created, reason)) {
        error = "cannot create " + path + " for the simulated keypad's memory: " + reason;
        return false;
    }
    return ReadStateFile(path, memory, error);
}

bool SaveStateFile(const std::string& path, const KeypadMemory& memory, std::string& error,
                   FileLock* keepLocked) {
    std::string reason;
    if (!ReplaceFileAtomically(path, Bytes(memory), reason, keepLocked)) {
        error = "cannot save the simulated keypad's memory to " + path + ": " + reason;
        return false;
    }
    return true;
}

}  // namespace quillpad
