// Replacing files on POSIX systems: mkstemp-style exclusive creation, fsync, rename, fsync of
// the folder.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>

#include "atomic_file.h"
#include "file_lock.h"

namespace quillpad {

// Gives a FileLock the descriptor of a file that is about to take the locked file's name.
class FileLockHandover {
  public:
    // Locks fd exclusively (nobody else can know the new file yet) and makes lock hold it
    // instead of the old file. False when fd cannot be locked.
    static bool Lock(int fd) { return ::flock(fd, LOCK_EX | LOCK_NB) == 0; }
    static void Take(FileLock& lock, int fd) {
        lock.Unlock();
        lock.handle_ = fd;
        lock.held_ = true;
    }
};

namespace {

std::string Reason(int error) {
    return std::strerror(error);
}

// The file path names when it is a symbolic link (resolved on purpose), else path itself.
bool ResolveLink(const std::string& path, std::string& target, std::string& reason) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        if (errno != ENOENT) {
            reason = Reason(errno);
            return false;
        }
        target = path;
        return true;
    }
    if (!S_ISLNK(st.st_mode)) {
        target = path;
        return true;
    }
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr) {
        reason = errno == ENOENT ? "it is a symbolic link to a missing file, which is not written "
                                   "through"
                                 : Reason(errno);
        return false;
    }
    target = resolved;
    std::free(resolved);
    return true;
}

std::string FolderOf(const std::string& file) {
    const std::filesystem::path folder = std::filesystem::path(file).parent_path();
    return folder.empty() ? std::string(".") : folder.string();
}

// The start of a temporary file's name: the destination's, shortened where the temporary
// name would not fit the 255 bytes a file name may have (never inside a UTF-8 character).
std::string TemporaryStem(const std::string& target) {
    constexpr std::size_t kMaxStem = 255 - 13;  // ".tmp-" and eight letters follow
    const std::size_t slash = target.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    std::size_t end = target.size();
    if (end - nameStart > kMaxStem) {
        end = nameStart + kMaxStem;
        while (end > nameStart && (static_cast<unsigned char>(target[end]) & 0xC0) == 0x80) {
            --end;
        }
    }
    return target.substr(0, end);
}

// Creates a file no other name or link stood at, beside target, and writes content into it.
// Returns its descriptor (name in temporary) or -1 with the reason; a failed file is removed.
int WriteNewFile(const std::string& target, std::string_view content, mode_t mode,
                 std::string& temporary, std::string& reason) {
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    std::uniform_int_distribution<int> pick(0, sizeof kLetters - 2);
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = TemporaryStem(target) + ".tmp-";
        for (int i = 0; i < 8; ++i) {
            temporary += kLetters[pick(random)];
        }
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd < 0 && errno != EEXIST) {
            reason = Reason(errno);
            return -1;
        }
    }
    if (fd < 0) {
        reason = "no free name for a temporary file beside it";
        return -1;
    }
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            reason = n < 0 ? Reason(errno) : Reason(ENOSPC);
            ::close(fd);
            ::unlink(temporary.c_str());
            return -1;
        }
        done += static_cast<std::size_t>(n);
    }
    return fd;
}

// Syncs fd and closes it unless keep; on failure also removes the temporary file.
bool SyncNewFile(int fd, const std::string& temporary, std::string& reason) {
    if (::fsync(fd) != 0) {
        reason = Reason(errno);
        ::close(fd);
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

// A failure here cannot undo the rename that went before; the content is in place.
void SyncFolder(const std::string& file) {
    const int fd = ::open(FolderOf(file).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

bool ReplaceFileAtomically(const std::string& path, std::string_view content, std::string& reason,
                           FileLock* keepLocked) {
    std::string target;
    if (!ResolveLink(path, target, reason)) {
        return false;
    }
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (!exists && errno != ENOENT) {
        reason = Reason(errno);
        return false;
    }
    if (exists) {
        if (S_ISDIR(old.st_mode)) {
            reason = "it is a folder, not a file";
            return false;
        }
        if (!S_ISREG(old.st_mode)) {
            reason = "it is not a regular file";
            return false;
        }
        if (old.st_nlink > 1) {
            reason = "it has " + std::to_string(old.st_nlink) +
                     " names (hard links), which replacing it would split";
            return false;
        }
        // As cp: the user must be allowed to open the file for writing.
        if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
            reason = Reason(errno);
            return false;
        }
    }

    std::string temporary;
    const int fd = WriteNewFile(target, content, exists ? 0600 : 0666, temporary, reason);
    if (fd < 0) {
        return false;
    }
    if (exists) {
        // Owner and group first, so the mode never applies to other people than it did.
        if (::fchown(fd, old.st_uid, old.st_gid) != 0 && errno == EPERM) {
            (void)::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
        }
        if (::fchmod(fd, old.st_mode & 0777) != 0) {
            reason = Reason(errno);
            ::close(fd);
            ::unlink(temporary.c_str());
            return false;
        }
    }
    if (!SyncNewFile(fd, temporary, reason)) {
        return false;
    }
    const bool moveLock = keepLocked != nullptr && keepLocked->held();
    if (moveLock && !FileLockHandover::Lock(fd)) {
        reason = Reason(errno);
        ::close(fd);
        ::unlink(temporary.c_str());
        return false;
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        reason = Reason(errno);
        ::close(fd);
        ::unlink(temporary.c_str());
        return false;
    }
    if (moveLock) {
        FileLockHandover::Take(*keepLocked, fd);
    } else {
        ::close(fd);
    }
    SyncFolder(target);
    return true;
}

bool CreateFileIfMissing(const std::string& path, std::string_view content, bool& created,
                         std::string& reason) {
    created = false;
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0) {
        // Something has the name. Only a link to nothing is refused here; whoever reads the
        // file reports other faults (a link loop) in their own words.
        if (S_ISLNK(st.st_mode) && ::stat(path.c_str(), &st) != 0 && errno == ENOENT) {
            reason = "it is a symbolic link to a missing file, which is not written through";
            return false;
        }
        return true;
    }
    if (errno != ENOENT) {
        reason = Reason(errno);
        return false;
    }
    std::string temporary;
    const int fd = WriteNewFile(path, content, 0666, temporary, reason);
    if (fd < 0 || !SyncNewFile(fd, temporary, reason)) {
        return false;
    }
    ::close(fd);
    // Never replaces: a file another program created meanwhile is kept.
    int linked = -1;
    int error = EINVAL;
#if defined(RENAME_NOREPLACE)
    linked = ::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE);
    error = errno;
#endif
    if (linked != 0) {
        if (error == EINVAL || error == ENOSYS) {
            // A file system without that rename: a second name, then the temporary one goes.
            linked = ::link(temporary.c_str(), path.c_str());
            error = errno;
        }
        ::unlink(temporary.c_str());
    }
    if (linked != 0) {
        if (error == EEXIST) {
            return true;
        }
        reason = Reason(error);
        return false;
    }
    created = true;
    SyncFolder(path);
    return true;
}

}  // namespace quillpad
