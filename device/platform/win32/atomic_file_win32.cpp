// Replacing files on Windows: a file created with CREATE_NEW beside the destination, flushed,
// and moved over it with MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH. The new file
// takes the folder's inherited permissions, as the old one had them.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <string>

#include "atomic_file.h"
#include "file_lock.h"

namespace quillpad {
namespace {

std::string Reason(DWORD error) {
    char text[256] = {};
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, error, 0, text, sizeof text, nullptr);
    std::string reason(text, n);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' ||
                               reason.back() == ' ' || reason.back() == '.')) {
        reason.pop_back();
    }
    return reason.empty() ? "error " + std::to_string(error) : reason;
}

// The file a link at path points to (resolved on purpose), else path itself.
bool ResolveLink(const std::string& path, DWORD attributes, std::string& target,
                 std::string& reason) {
    target = path;
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        return true;
    }
    HANDLE file =
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        reason = Reason(GetLastError());
        return false;
    }
    char resolved[MAX_PATH * 2] = {};
    const DWORD n =
        GetFinalPathNameByHandleA(file, resolved, sizeof resolved, FILE_NAME_NORMALIZED);
    const DWORD error = GetLastError();
    CloseHandle(file);
    if (n == 0 || n >= sizeof resolved) {
        reason = Reason(error);
        return false;
    }
    target.assign(resolved, n);
    return true;
}

// Creates a new file beside target, writes and flushes content. Its name goes in temporary.
bool WriteNewFile(const std::string& target, std::string_view content, std::string& temporary,
                  std::string& reason) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    std::uniform_int_distribution<int> pick(0, sizeof kLetters - 2);
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = target + ".tmp-";
        for (int i = 0; i < 8; ++i) {
            temporary += kLetters[pick(random)];
        }
        file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS &&
            GetLastError() != ERROR_ALREADY_EXISTS) {
            reason = Reason(GetLastError());
            return false;
        }
    }
    if (file == INVALID_HANDLE_VALUE) {
        reason = "no free name for a temporary file beside it";
        return false;
    }
    bool ok = true;
    std::size_t done = 0;
    while (ok && done < content.size()) {
        DWORD written = 0;
        ok = WriteFile(file, content.data() + done, static_cast<DWORD>(content.size() - done),
                       &written, nullptr) != 0 &&
             written > 0;
        done += written;
    }
    ok = ok && FlushFileBuffers(file) != 0;
    const DWORD error = GetLastError();
    CloseHandle(file);
    if (!ok) {
        reason = Reason(error);
        DeleteFileA(temporary.c_str());
    }
    return ok;
}

// How many names the file at path has (hard links); 0 when that cannot be read.
DWORD NameCount(const std::string& path) {
    HANDLE file =
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 0;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    const bool ok = GetFileInformationByHandle(file, &info) != 0;
    CloseHandle(file);
    return ok ? info.nNumberOfLinks : 0;
}

}  // namespace

bool ReplaceFileAtomically(const std::string& path, std::string_view content, std::string& reason,
                           FileLock*) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    std::string target = path;
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (!ResolveLink(path, attributes, target, reason)) {
            return false;
        }
        const DWORD targetAttributes = GetFileAttributesA(target.c_str());
        if (targetAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            reason = "it is a folder, not a file";
            return false;
        }
        if (targetAttributes & FILE_ATTRIBUTE_READONLY) {
            reason = "it is read-only";
            return false;
        }
        if (const DWORD names = NameCount(target); names > 1) {
            reason = "it has " + std::to_string(names) +
                     " names (hard links), which replacing it would split";
            return false;
        }
    } else if (GetLastError() != ERROR_FILE_NOT_FOUND) {
        reason = Reason(GetLastError());
        return false;
    }
    std::string temporary;
    if (!WriteNewFile(target, content, temporary, reason)) {
        return false;
    }
    if (!MoveFileExA(temporary.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        reason = Reason(GetLastError());
        DeleteFileA(temporary.c_str());
        return false;
    }
    return true;
}

bool CreateFileIfMissing(const std::string& path, std::string_view content, bool& created,
                         std::string& reason) {
    created = false;
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
        return true;
    }
    std::string temporary;
    if (!WriteNewFile(path, content, temporary, reason)) {
        return false;
    }
    // Without MOVEFILE_REPLACE_EXISTING: a file another program created meanwhile is kept.
    if (!MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        DeleteFileA(temporary.c_str());
        if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) {
            return true;
        }
        reason = Reason(error);
        return false;
    }
    created = true;
    return true;
}

// No sticky shared folders and no FIFOs here, and making a link takes a privilege users lack:
// an output is a file replaced as above, or the console ("-", CON) written to.
struct OutputFile::State {
    std::string path;
    bool stream = false;
    bool opened = false;
};

OutputFile::OutputFile() = default;
OutputFile::~OutputFile() = default;

bool OutputFile::noReader() const {
    return false;
}

std::optional<FileId> OutputFile::Target() const {
    return state_ && state_->opened ? IdentifyFile(state_->path) : std::nullopt;
}

bool OutputFile::Open(const std::string& path, bool allowStreams, std::string& reason) {
    state_ = std::make_unique<State>();
    state_->path = path;
    state_->stream = allowStreams && (path == "-" || path == "CON");
    if (!state_->stream) {
        const DWORD attributes = GetFileAttributesA(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            reason = "it is a folder, not a file";
            return false;
        }
    }
    state_->opened = true;
    return true;
}

bool OutputFile::Commit(std::string_view content, std::string& reason, FileLock* keepLocked) {
    if (!state_ || !state_->opened) {
        reason = "it was not opened";
        return false;
    }
    if (!state_->stream) {
        return ReplaceFileAtomically(state_->path, content, reason, keepLocked);
    }
    // Bytes as they are: the console's text mode would turn each 0x0A into 0x0D 0x0A.
    std::fflush(stdout);
    _setmode(_fileno(stdout), _O_BINARY);
    if (std::fwrite(content.data(), 1, content.size(), stdout) != content.size() ||
        std::fflush(stdout) != 0) {
        reason = "writing to standard output failed";
        return false;
    }
    return true;
}

struct AppendingFile::State {
    std::ofstream out;
};

AppendingFile::AppendingFile() = default;
AppendingFile::~AppendingFile() = default;

bool AppendingFile::noReader() const {
    return false;
}

bool AppendingFile::Open(const std::string& path, std::string& reason) {
    state_ = std::make_unique<State>();
    state_->out.open(path, std::ios::binary | std::ios::app);
    if (!state_->out) {
        reason = Reason(GetLastError());
        return false;
    }
    return true;
}

bool AppendingFile::Append(std::string_view text, std::string& reason) {
    if (!state_ || !state_->out.write(text.data(), static_cast<std::streamsize>(text.size())) ||
        !state_->out.flush()) {
        reason = "writing failed";
        return false;
    }
    return true;
}

bool ReadWholeFile(const std::string& path, std::size_t maxBytes, bool regularOnly,
                   std::string& content, std::string& reason, FileId* id) {
    content.clear();
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        reason = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                     ? "no such file"
                     : "cannot be read: " + Reason(error);
        return false;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        reason = regularOnly ? "not a regular file" : "is a folder, not a file";
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        reason = "cannot be read: " + Reason(GetLastError());
        return false;
    }
    content.assign(maxBytes + 1, '\0');
    file.read(content.data(), static_cast<std::streamsize>(content.size()));
    if (file.bad()) {
        content.clear();
        reason = "reading failed";
        return false;
    }
    content.resize(static_cast<std::size_t>(file.gcount()));
    if (id != nullptr) {
        *id = IdentifyFile(path).value_or(FileId{});
    }
    return true;
}

std::optional<FileId> IdentifyFile(const std::string& path) {
    HANDLE file =
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    const bool ok = GetFileInformationByHandle(file, &info) != 0;
    CloseHandle(file);
    if (!ok) {
        return std::nullopt;
    }
    return FileId{info.dwVolumeSerialNumber,
                  (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

}  // namespace quillpad
