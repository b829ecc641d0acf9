// FileLock on POSIX systems: flock(2) on a descriptor opened for the lock alone, from the
// folder its path was walked to (path_walk.h).
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "dev.h"
#include "file_lock.h"
#include "path_walk.h"

namespace quillpad {

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

bool FileLock::Lock(const std::string& path, Mode mode, std::string& reason,
                    const std::function<bool()>& waiting) {
    Unlock();
    const int operation = mode == Mode::kExclusive ? LOCK_EX : LOCK_SH;
    for (;;) {
        posix::WalkedPath walked;
        if (!posix::WalkPath(path, walked, reason)) {
            return false;
        }
        const int fd = ::openat(walked.folder.get(), walked.name.c_str(),
                                O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        if (fd < 0) {
            reason = std::strerror(errno);
            return false;
        }
        int locked = ::flock(fd, operation | LOCK_NB);
        if (locked != 0 && errno == EWOULDBLOCK && !waiting) {
            while ((locked = ::flock(fd, operation)) != 0 && errno == EINTR) {
            }
        }
        while (locked != 0 && errno == EWOULDBLOCK) {
            if (!waiting()) {
                reason = "another program holds it";
                ::close(fd);
                return false;
            }
            ::usleep(kLockRetryMs * 1000);
            locked = ::flock(fd, operation | LOCK_NB);
        }
        if (locked != 0) {
            reason = std::strerror(errno);
            ::close(fd);
            return false;
        }
        // A writer that replaced the file while we waited locked the old one: follow the name.
        struct stat locked_file {};
        struct stat named_file {};
        // The path is walked anew: a link on the way may lead elsewhere now, too.
        posix::WalkedPath now;
        std::string ignored;
        if (::fstat(fd, &locked_file) == 0 && posix::WalkPath(path, now, ignored) && !now.missing &&
            ::fstatat(now.folder.get(), now.name.c_str(), &named_file, AT_SYMLINK_NOFOLLOW) == 0 &&
            (locked_file.st_dev != named_file.st_dev || locked_file.st_ino != named_file.st_ino)) {
            ::close(fd);
            continue;
        }
        handle_ = fd;
        held_ = true;
        return true;
    }
}

void FileLock::Unlock() {
    if (handle_ >= 0) {
        ::close(static_cast<int>(handle_));  // drops the lock
    }
    handle_ = -1;
    held_ = false;
}

}  // namespace quillpad
