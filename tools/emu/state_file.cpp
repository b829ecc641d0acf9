#include "state_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace quillpad::emu {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::string Reason(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

}  // namespace

ConfigBlock FreshMemory() {
    ConfigBlock memory{};
    memory[kBlockMarkerOffset] = kBlockMarker;
    return memory;
}

bool LoadState(const std::string& path, ConfigBlock& memory, std::string& error) {
    File file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        if (errno == ENOENT) {
            memory = FreshMemory();
            return true;
        }
        error = Reason("cannot open the state file", path);
        return false;
    }
    ConfigBlock loaded{};
    std::size_t got = std::fread(loaded.data(), 1, loaded.size(), file.get());
    if (std::ferror(file.get())) {
        error = Reason("cannot read the state file", path);
        return false;
    }
    bool longer = got == loaded.size() && std::fgetc(file.get()) != EOF;
    if (got != loaded.size() || longer) {
        error = "the state file " + path + " holds " +
                (longer ? std::string("more than 256") : std::to_string(got)) +
                " bytes; a keypad state file holds exactly 256";
        return false;
    }
    memory = loaded;
    return true;
}

bool SaveState(const std::string& path, const ConfigBlock& memory, std::string& error) {
    std::string temporary = path + ".tmp";
    File file(std::fopen(temporary.c_str(), "wb"));
    if (!file) {
        error = Reason("cannot create", temporary);
        return false;
    }
    bool written = std::fwrite(memory.data(), 1, memory.size(), file.get()) == memory.size();
    written = std::fflush(file.get()) == 0 && written;
    if (!written) {
        error = Reason("cannot write", temporary);
        file.reset();
        std::remove(temporary.c_str());
        return false;
    }
    file.reset();
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = Reason("cannot replace the state file", path);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace quillpad::emu
