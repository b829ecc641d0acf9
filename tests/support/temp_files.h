// Temporary folders and whole-file reads and writes for tests that put files on disk. Written
// with the standard library only: the same helpers serve the Linux and the Windows test builds.
#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <system_error>

namespace quillpad::testing {

// A fresh, empty folder of this object's own under the system's temporary folder, open to its
// owner only, and removed with everything in it when the object goes.
class TempDir {
  public:
    TempDir() {
        const std::filesystem::path base = std::filesystem::temp_directory_path();
        std::random_device random;
        for (int attempt = 0; attempt < 100; ++attempt) {
            char name[32];
            std::snprintf(name, sizeof name, "quillpad-test-%08x", static_cast<unsigned>(random()));
            const std::filesystem::path candidate = base / name;
            // create_directory is false for a name already taken: a folder is never shared.
            std::error_code ec;
            if (std::filesystem::create_directory(candidate, ec)) {
                path_ = candidate;
                // Where the system has no owner permissions (Windows) the folder stays as made.
                std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                             std::filesystem::perm_options::replace, ec);
                return;
            }
            if (ec && !std::filesystem::exists(candidate)) {
                throw std::runtime_error("cannot create a folder in " + base.string() + ": " +
                                         ec.message());
            }
        }
        throw std::runtime_error("no free folder name in " + base.string());
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

// The whole file; empty when it cannot be read.
inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

// Creates or truncates the file and writes content; throws when that fails.
inline void WriteFile(const std::filesystem::path& path, const std::string& content) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!file) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

}  // namespace quillpad::testing
