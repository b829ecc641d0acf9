#include "state_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace quillpad {

namespace {

std::string Describe(const std::string& path, const std::string& what) {
    return "simulated keypad state file " + path + ": " + what;
}

}  // namespace

bool LoadStateFile(const std::string& path, KeypadModel::Memory& memory, std::string& error) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (status.type() == fs::file_type::not_found) {
        KeypadModel::Memory fresh{};
        fresh[90] = 0xFC;
        if (!SaveStateFile(path, fresh, error)) {
            return false;
        }
        memory = fresh;
        return true;
    }
    if (ec) {
        error = Describe(path, ec.message());
        return false;
    }
    if (status.type() != fs::file_type::regular) {
        error = Describe(path, "not a regular file");
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = Describe(path, std::strerror(errno));
        return false;
    }
    KeypadModel::Memory loaded{};
    in.read(reinterpret_cast<char*>(loaded.data()), static_cast<std::streamsize>(loaded.size()));
    const std::streamsize got = in.gcount();
    const bool more = in.peek() != std::ifstream::traits_type::eof();
    if (got != static_cast<std::streamsize>(loaded.size()) || more) {
        error = Describe(path, "expected exactly 256 bytes; the file was left unchanged");
        return false;
    }
    memory = loaded;
    return true;
}

bool SaveStateFile(const std::string& path, const KeypadModel::Memory& memory, std::string& error) {
    const std::string temp = path + ".tmp";
    std::FILE* file = std::fopen(temp.c_str(), "wb");
    if (file == nullptr) {
        error = Describe(path, std::string("cannot create ") + temp + ": " + std::strerror(errno));
        return false;
    }
    const bool written = std::fwrite(memory.data(), 1, memory.size(), file) == memory.size();
    const bool flushed = std::fflush(file) == 0;
    const bool closed = std::fclose(file) == 0;
    if (!written || !flushed || !closed) {
        error = Describe(path, std::string("cannot write ") + temp);
        std::remove(temp.c_str());
        return false;
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        error = Describe(path, "cannot replace it: " + ec.message());
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace quillpad
