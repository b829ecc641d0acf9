#include "file_io.h"

namespace quillpad::ctl {

namespace {

Status FileError(const std::string& path, const std::string& what) {
    return Fail(kExitBadFile, path + ": " + what);
}

}  // namespace

Status ReadSmallFile(const std::string& path, std::size_t maxBytes, std::string& content) {
    std::string reason;
    if (!ReadWholeFile(path, maxBytes, false, content, reason))
        return FileError(path, reason);
    if (content.size() > maxBytes)
        return FileError(path, "is larger than " + std::to_string(maxBytes) + " bytes");
    return Ok();
}

Status OpenOutput(const std::string& path, const std::optional<std::string>& simulateFile,
                  OutputFile& file) {
    std::string reason;
    if (!file.Open(path, true, reason)) {
        if (file.noReader())
            return Fail(kExitBadFile, "no program is reading " + path);
        return FileError(path, "cannot be written: " + reason);
    }
    if (simulateFile && file.Target()) {
        if (const std::optional<FileId> memory = IdentifyFile(*simulateFile);
            memory && *memory == *file.Target()) {
            return FileError(path, "cannot be written: it is the simulated keypad's memory (" +
                                       *simulateFile + ")");
        }
    }
    return Ok();
}

Status CommitOutput(const std::string& path, OutputFile& file, std::string_view content) {
    std::string reason;
    if (!file.Commit(content, reason))
        return FileError(path, "cannot be written: " + reason);
    return Ok();
}

}  // namespace quillpad::ctl
