// FileLock on Windows: holds nothing. A lock there would be a handle kept open on the file,
// which stops the rename that replaces it; the Windows program is the only user of its
// simulated keypad's file, so the claim is only recorded.
#include "file_lock.h"

namespace quillpad {

FileLock::FileLock(FileLock&& other) noexcept : handle_(other.handle_), held_(other.held_) {
    other.handle_ = -1;
    other.held_ = false;
}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    handle_ = other.handle_;
    held_ = other.held_;
    other.handle_ = -1;
    other.held_ = false;
    return *this;
}

bool FileLock::Lock(const std::string&, Mode, std::string&, const std::function<bool()>&) {
    held_ = true;
    return true;
}

void FileLock::Unlock() {
    held_ = false;
}

}  // namespace quillpad
