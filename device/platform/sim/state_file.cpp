#include "state_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>

#include "atomic_file.h"

namespace quillpad {

namespace {

std::string_view Bytes(const KeypadMemory& memory) {
    return {reinterpret_cast<const char*>(memory.data()), memory.size()};
}

}  // namespace

bool ReadStateFile(const std::string& path, KeypadMemory& memory, std::string& error) {
    namespace fs = std::filesystem;
    const std::string what = "cannot read the simulated keypad's memory from " + path + ": ";
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (ec) {
        error = what + ec.message();
        return false;
    }
    if (status.type() != fs::file_type::regular) {
        error = what + "not a regular file";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = what + std::strerror(errno);
        return false;
    }
    char loaded[257];
    in.read(loaded, sizeof loaded);
    if (in.bad()) {
        error = what + "reading failed";
        return false;
    }
    const auto got = static_cast<std::size_t>(in.gcount());
    if (got != memory.size()) {
        error = what + "it holds " + (got > memory.size() ? "more than 256" : std::to_string(got)) +
                " bytes; the keypad's memory is exactly 256 bytes (the file is left unchanged)";
        return false;
    }
    std::memcpy(memory.data(), loaded, memory.size());
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
