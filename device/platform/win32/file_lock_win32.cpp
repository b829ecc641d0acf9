// FileLock on Windows: a claim named after the file's full path (named_claim.h). A handle kept
// open on the file would stop the rename that replaces it, so nothing is held on the file
// itself; the claim stays with the name when a writer replaces the file. Every program of this
// project locks through FileLock, so they take turns; a shared lock is taken exclusively.
#include <windows.h>

#include <memory>

#include "file_lock.h"
#include "named_claim.h"

namespace quillpad {

namespace {

NamedClaim* ClaimOf(std::intptr_t handle) {
    return reinterpret_cast<NamedClaim*>(handle);
}

// The name the lock goes by: the full path of the file path names, links followed.
bool LockName(const std::string& path, std::string& name, std::string& reason) {
    HANDLE file =
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        reason = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                     ? "No such file or directory"
                     : "cannot open it (Windows error " + std::to_string(error) + ")";
        return false;
    }
    char full[MAX_PATH * 4];
    DWORD length = GetFinalPathNameByHandleA(file, full, sizeof full, FILE_NAME_NORMALIZED);
    CloseHandle(file);
    if (length == 0 || length >= sizeof full) {
        length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    }
    if (length == 0 || length >= sizeof full) {
        reason = "cannot name it (Windows error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    name = NamedClaim::NameFor("file", std::string(full, length));
    return true;
}

}  // namespace

FileLock::FileLock(FileLock&& other) noexcept : handle_(other.handle_), held_(other.held_) {
    other.handle_ = -1;
    other.held_ = false;
}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        Unlock();
        handle_ = other.handle_;
        held_ = other.held_;
        other.handle_ = -1;
        other.held_ = false;
    }
    return *this;
}

bool FileLock::Lock(const std::string& path, Mode, std::string& reason,
                    const std::function<bool()>& waiting) {
    Unlock();
    std::string name;
    if (!LockName(path, name, reason)) {
        return false;
    }
    auto claim = std::make_unique<NamedClaim>();
    if (!claim->Take(name, reason, waiting)) {
        return false;
    }
    handle_ = reinterpret_cast<std::intptr_t>(claim.release());
    held_ = true;
    return true;
}

void FileLock::Unlock() {
    if (handle_ != -1) {
        delete ClaimOf(handle_);  // releases the claim
    }
    handle_ = -1;
    held_ = false;
}

}  // namespace quillpad
