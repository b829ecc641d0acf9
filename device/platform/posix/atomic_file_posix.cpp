// Replacing files on POSIX systems: mkstemp-style exclusive creation, fsync, rename, fsync of
// the folder.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
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

std::string FolderOf(const std::string& file) {
    const std::filesystem::path folder = std::filesystem::path(file).parent_path();
    return folder.empty() ? std::string(".") : folder.string();
}

constexpr int kMaxLinks = 40;  // as many links as the kernel follows in one path

constexpr const char* kDanglingLink =
    "it is a symbolic link to a missing file, which is not written through";

// The file path names, following its symbolic links one at a time (resolved on purpose,
// each one checked by LinkMayBeFollowed), else path itself.
bool ResolveLink(const std::string& path, std::string& target, std::string& reason) {
    target = path;
    for (int links = 0;; ++links) {
        struct stat st {};
        if (::lstat(target.c_str(), &st) != 0) {
            if (errno != ENOENT) {
                reason = Reason(errno);
                return false;
            }
            if (links > 0) {
                reason = kDanglingLink;
                return false;
            }
            return true;
        }
        if (!S_ISLNK(st.st_mode)) {
            return true;
        }
        if (links == kMaxLinks) {
            reason = Reason(ELOOP);
            return false;
        }
        if (!LinkMayBeFollowed(target, reason)) {
            return false;
        }
        char to[PATH_MAX];
        const ssize_t n = ::readlink(target.c_str(), to, sizeof to);
        if (n < 0 || static_cast<std::size_t>(n) == sizeof to) {
            reason = Reason(n < 0 ? errno : ENAMETOOLONG);
            return false;
        }
        // A relative link names a file from the folder the link is in.
        const std::string next(to, static_cast<std::size_t>(n));
        target = next.starts_with('/') ? next : FolderOf(target) + "/" + next;
    }
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

bool LinkMayBeFollowed(const std::string& path, std::string& reason) {
    struct stat link {};
    struct stat folder {};
    if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) {
        return true;  // no link: nothing to follow
    }
    if (::stat(FolderOf(path).c_str(), &folder) != 0) {
        reason = Reason(errno);
        return false;
    }
    const bool shared = (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0;
    if (shared && link.st_uid != ::geteuid() && link.st_uid != folder.st_uid) {
        reason =
            "it is a symbolic link another user made in a shared folder, which is not "
            "followed";
        return false;
    }
    return true;
}

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
        mode_t mode = old.st_mode & 0777;
        struct stat now {};
        if (::fstat(fd, &now) != 0 || now.st_gid != old.st_gid) {
            // The group could not be kept (the user is not in it): the new file's group gets
            // no more than its members had as others.
            mode = (mode & ~mode_t{070}) | ((mode & 07) << 3);
        }
        if (::fchmod(fd, mode) != 0) {
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
            reason = kDanglingLink;
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
