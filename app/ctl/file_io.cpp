#include "file_io.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "atomic_file.h"

namespace quillpad::ctl {
namespace fs = std::filesystem;

namespace {

Status FileError(const std::string& path, const std::string& what) {
    return Fail(kExitBadFile, path + ": " + what);
}

Status Put(const std::string& path, std::string_view content) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file)
        return FileError(path, std::string("cannot be written: ") + std::strerror(errno));
    file.write(content.data(), static_cast<std::streamsize>(content.size()));
    file.close();
    if (!file)
        return FileError(path, std::string("writing failed: ") + std::strerror(errno));
    return Ok();
}

}  // namespace

Status ReadSmallFile(const std::string& path, std::size_t maxBytes, std::string& content) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (status.type() == fs::file_type::not_found)
        return FileError(path, "no such file");
    if (ec)
        return FileError(path, ec.message());  // a link loop, a folder that may not be read
    if (fs::is_directory(status))
        return FileError(path, "is a folder, not a file");
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return FileError(path, std::string("cannot be read: ") + std::strerror(errno));
    content.assign(maxBytes + 1, '\0');
    file.read(content.data(), static_cast<std::streamsize>(content.size()));
    if (file.bad())
        return FileError(path, "reading failed");
    content.resize(static_cast<std::size_t>(file.gcount()));
    if (content.size() > maxBytes) {
        return FileError(path, "is larger than " + std::to_string(maxBytes) + " bytes");
    }
    return Ok();
}

Status WriteWholeFile(const std::string& path, std::string_view content) {
    std::string reason;
    // A link planted in /tmp may name a disk as well as a file.
    if (!LinkMayBeFollowed(path, reason))
        return FileError(path, "cannot be written: " + reason);
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (fs::exists(status) && !fs::is_regular_file(status) && !fs::is_directory(status))
        return Put(path, content);  // a device or a pipe, such as /dev/stdout
    if (!ReplaceFileAtomically(path, content, reason))
        return FileError(path, "cannot be written: " + reason);
    return Ok();
}

}  // namespace quillpad::ctl
