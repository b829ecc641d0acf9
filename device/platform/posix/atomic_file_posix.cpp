// Files on POSIX systems: each path walked once by descriptor (path_walk.h); a file replaced
// by an exclusive temporary beside it, synced, renamed over it, and the folder synced.
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <random>

#include "atomic_file.h"
#include "file_calls.h"
#include "file_lock.h"
#include "file_security.h"
#include "path_walk.h"

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

namespace posix {
namespace {

int RealOpenat(int folder, const char* name, int flags, mode_t mode) {
    return ::openat(folder, name, flags, mode);
}

int RealFsync(int fd) {
    return ::fsync(fd);
}

int RealRenameat(int fromFolder, const char* from, int toFolder, const char* to) {
    return ::renameat(fromFolder, from, toFolder, to);
}

void RandomLetters(char* letters) {
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    std::uniform_int_distribution<int> pick(0, sizeof kLetters - 2);
    for (int i = 0; i < 8; ++i) {
        letters[i] = kLetters[pick(random)];
    }
}

}  // namespace

FileCalls DefaultCalls() {
    return {RealOpenat, RealFsync, RealRenameat, RandomLetters};
}

FileCalls& Calls() {
    static FileCalls calls = DefaultCalls();
    return calls;
}

}  // namespace posix

namespace {

using posix::Calls;
using posix::Fd;
using posix::WalkedPath;

constexpr std::size_t kTemporaryLetters = 8;
constexpr char kTemporaryMark[] = ".tmp-";
constexpr std::time_t kLeftoverAge = 60;  // seconds: no run of ours takes that long

constexpr const char* kDanglingLink =
    "it is a symbolic link to a missing file, which is not written through";

// Walks to the folder of a file about to be written. A link that points nowhere is refused, as
// cp refuses it: what it names may be created later by whoever planted it.
bool WalkToWrite(const std::string& path, WalkedPath& walked, std::string& reason) {
    if (!posix::WalkPath(path, walked, reason))
        return false;
    if (walked.missing && walked.viaLink) {
        reason = kDanglingLink;
        return false;
    }
    return true;
}

constexpr const char* kNoReader = "no program is reading it";
constexpr const char* kFolder = "it is a folder, not a file";

std::string Reason(int error) {
    return std::strerror(error);
}

FileId IdOf(const struct stat& st) {
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// The start of a temporary file's name: the file's, shortened where the temporary name would
// not fit the 255 bytes a file name may have (never inside a UTF-8 character).
std::string TemporaryStem(const std::string& name) {
    constexpr std::size_t kMaxStem = 255 - (sizeof kTemporaryMark - 1) - kTemporaryLetters;
    std::size_t end = name.size();
    if (end > kMaxStem) {
        end = kMaxStem;
        while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) {
            --end;
        }
    }
    return name.substr(0, end);
}

bool IsTemporaryOf(const std::string& entry, const std::string& stem) {
    const std::string start = stem + kTemporaryMark;
    if (entry.size() != start.size() + kTemporaryLetters || !entry.starts_with(start)) {
        return false;
    }
    for (std::size_t i = start.size(); i < entry.size(); ++i) {
        const char c = entry[i];
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) {
            return false;
        }
    }
    return true;
}

// Removes what a killed run of ours left beside the file: this user's regular files with the
// name of one of its temporaries, untouched for over a minute (a run at work now is younger).
void RemoveLeftovers(int folder, const std::string& stem) {
    const int listFd = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listFd < 0) {
        return;
    }
    DIR* list = ::fdopendir(listFd);
    if (list == nullptr) {
        ::close(listFd);
        return;
    }
    const std::time_t now = std::time(nullptr);
    while (const dirent* entry = ::readdir(list)) {
        const std::string name = entry->d_name;
        struct stat st {};
        if (IsTemporaryOf(name, stem) &&
            ::fstatat(::dirfd(list), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(st.st_mode) && st.st_uid == ::geteuid() && st.st_mtime + kLeftoverAge < now) {
            ::unlinkat(::dirfd(list), name.c_str(), 0);
        }
    }
    ::closedir(list);
}

// Writes all of content to fd, waiting for a pipe that is full.
bool WriteAll(int fd, std::string_view content, std::string& reason) {
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd wait{fd, POLLOUT, 0};
            ::poll(&wait, 1, -1);
            continue;
        }
        if (n <= 0) {
            reason = n < 0 ? Reason(errno) : Reason(ENOSPC);
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Creates a file in folder that no other name or link stood at, named after name. Its name
// goes in temporary. Invalid with the reason on failure.
Fd CreateTemporary(int folder, const std::string& name, mode_t mode, std::string& temporary,
                   std::string& reason) {
    const std::string stem = TemporaryStem(name) + kTemporaryMark;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char letters[kTemporaryLetters];
        Calls().temporaryLetters(letters);
        temporary = stem + std::string(letters, kTemporaryLetters);
        Fd fd(Calls().openat(folder, temporary.c_str(),
                             O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
        if (fd.valid()) {
            return fd;
        }
        if (errno != EEXIST) {
            reason = Reason(errno);
            return Fd();
        }
    }
    reason = "no free name for a temporary file beside it";
    return Fd();
}

// A failure here cannot undo the rename that went before; the content is in place.
void SyncFolder(int folder) {
    Fd sync(::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (sync.valid()) {
        Calls().fsync(sync.get());
    }
}

bool ClearNonBlocking(int fd, std::string& reason) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        reason = Reason(errno);
        return false;
    }
    return true;
}

// One of this program's own descriptors, when it may be written to.
bool UsableOwnDescriptor(int fd, std::string& reason) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0) {
        reason = "that descriptor is not open";
        return false;
    }
    if ((flags & O_ACCMODE) == O_RDONLY) {
        reason = "that descriptor is not open for writing";
        return false;
    }
    return true;
}

// Opens what has the name in folder for writing, without following a link, creating, or
// waiting for a FIFO's reader. Invalid with the reason (noReader set for a FIFO nobody reads).
Fd OpenExistingForWriting(int folder, const std::string& name, int extraFlags, mode_t mode,
                          bool& noReader, std::string& reason) {
    Fd fd(::openat(folder, name.c_str(),
                   O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | extraFlags, mode));
    if (fd.valid()) {
        return fd;
    }
    const int error = errno;
    struct stat st {};
    if (error == ENXIO && ::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISFIFO(st.st_mode)) {
        noReader = true;
        reason = kNoReader;
    } else {
        reason = error == EISDIR ? kFolder : Reason(error);
    }
    errno = error;
    return Fd();
}

}  // namespace

struct OutputFile::State {
    enum class Kind { kNone, kReplace, kStream };
    Kind kind = Kind::kNone;
    Fd folder;
    std::string name;
    bool exists = false;
    Fd old;  // the file replaced, open for writing
    struct stat oldStat {};
    Fd temp;
    std::string temporary;  // its name in folder while it has one
    int stream = -1;
    Fd ownedStream;  // a stream opened here (not one of this program's own)
    bool noReader = false;
    std::optional<FileId> target;

    ~State() { DropTemporary(); }

    void DropTemporary() {
        temp.Reset();
        if (!temporary.empty()) {
            ::unlinkat(folder.get(), temporary.c_str(), 0);  // where it was made
            temporary.clear();
        }
    }

    // Opens the file at name in folder (when there is one) and prepares the temporary.
    bool Prepare(bool allowStreams, std::string& reason);
    bool PrepareTemporary(std::string& reason);
};

bool OutputFile::State::Prepare(bool allowStreams, std::string& reason) {
    DropTemporary();
    old.Reset();
    exists = false;
    target.reset();
    Fd fd = OpenExistingForWriting(folder.get(), name, 0, 0, noReader, reason);
    if (!fd.valid()) {
        if (errno != ENOENT) {
            return false;
        }
    } else {
        struct stat st {};
        if (::fstat(fd.get(), &st) != 0) {
            reason = Reason(errno);
            return false;
        }
        if (!S_ISREG(st.st_mode)) {
            if (!allowStreams) {
                reason = "it is not a regular file";
                return false;
            }
            if (S_ISBLK(st.st_mode)) {
                reason = "it is a disk (a block device)";
                return false;
            }
            if (!ClearNonBlocking(fd.get(), reason)) {
                return false;
            }
            kind = Kind::kStream;
            ownedStream = std::move(fd);
            stream = ownedStream.get();
            target = IdOf(st);
            return true;
        }
        exists = true;
        old = std::move(fd);
        oldStat = st;
        target = IdOf(st);
    }
    kind = Kind::kReplace;
    return PrepareTemporary(reason);
}

bool OutputFile::State::PrepareTemporary(std::string& reason) {
    if (exists && oldStat.st_nlink > 1) {
        reason = "it has " + std::to_string(oldStat.st_nlink) +
                 " names (hard links), which replacing it would split";
        return false;
    }
    temp = CreateTemporary(folder.get(), name, exists ? 0600 : 0666, temporary, reason);
    if (!temp.valid()) {
        temporary.clear();
        return false;
    }
    if (exists) {
        // Owner and group first, so the mode never applies to other people than it did.
        if (::fchown(temp.get(), oldStat.st_uid, oldStat.st_gid) != 0) {
            if (errno != EPERM) {
                reason = Reason(errno);
                return false;
            }
            if (oldStat.st_uid != ::geteuid()) {
                // Written through its group: a new file would be this user's own, and its
                // owner would lose it. Replacing it in place would give up atomicity.
                reason =
                    "it belongs to another user, and this user can only replace it with a "
                    "file of its own; let its owner write it, or write to a new file";
                return false;
            }
            (void)::fchown(temp.get(), static_cast<uid_t>(-1), oldStat.st_gid);
        }
        mode_t mode = oldStat.st_mode & 0777;
        struct stat now {};
        const bool groupKept = ::fstat(temp.get(), &now) == 0 && now.st_gid == oldStat.st_gid;
        if (!groupKept) {
            // The group could not be kept (the user is not in it): the new file's group gets
            // no more than its members had as others.
            mode = (mode & ~mode_t{070}) | ((mode & 07) << 3);
        }
        if (::fchmod(temp.get(), mode) != 0) {
            reason = Reason(errno);
            return false;
        }
        if (!posix::CopySecurity(old.get(), temp.get(), groupKept, reason)) {
            return false;
        }
    }
    RemoveLeftovers(folder.get(), TemporaryStem(name));
    return true;
}

OutputFile::OutputFile() = default;
OutputFile::~OutputFile() = default;

bool OutputFile::noReader() const {
    return state_ && state_->noReader;
}

std::optional<FileId> OutputFile::Target() const {
    return state_ ? state_->target : std::nullopt;
}

bool OutputFile::Open(const std::string& path, bool allowStreams, std::string& reason) {
    state_ = std::make_unique<State>();
    State& s = *state_;
    if (allowStreams) {
        if (const int own = posix::OwnDescriptor(path, true); own >= 0) {
            struct stat st {};
            if (!UsableOwnDescriptor(own, reason) || ::fstat(own, &st) != 0) {
                return false;
            }
            s.kind = State::Kind::kStream;
            s.stream = own;
            s.target = IdOf(st);
            return true;
        }
    }
    WalkedPath walked;
    if (!WalkToWrite(path, walked, reason))
        return false;
    s.folder = std::move(walked.folder);
    s.name = walked.name;
    return s.Prepare(allowStreams, reason);
}

bool OutputFile::Commit(std::string_view content, std::string& reason, FileLock* keepLocked) {
    if (!state_ || state_->kind == State::Kind::kNone) {
        reason = "it was not opened";
        return false;
    }
    State& s = *state_;
    if (s.kind == State::Kind::kStream) {
        return WriteAll(s.stream, content, reason);
    }
    // Another program may have given the name to another file since Open: its owner, mode
    // and ACL are the ones to keep now.
    struct stat now {};
    const bool present = ::fstatat(s.folder.get(), s.name.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0;
    if (present != s.exists || (present && !SameFile(now, s.oldStat))) {
        if (!s.Prepare(false, reason)) {
            return false;
        }
    }
    if (!WriteAll(s.temp.get(), content, reason)) {
        return false;
    }
    if (Calls().fsync(s.temp.get()) != 0) {
        reason = Reason(errno);
        return false;
    }
    const bool moveLock = keepLocked != nullptr && keepLocked->held();
    if (moveLock && !FileLockHandover::Lock(s.temp.get())) {
        reason = Reason(errno);
        return false;
    }
    if (Calls().renameat(s.folder.get(), s.temporary.c_str(), s.folder.get(), s.name.c_str()) !=
        0) {
        reason = Reason(errno);
        return false;
    }
    s.temporary.clear();  // it has the file's name now
    if (moveLock) {
        FileLockHandover::Take(*keepLocked, s.temp.Release());
    }
    s.temp.Reset();
    SyncFolder(s.folder.get());
    s.kind = State::Kind::kNone;
    return true;
}

struct AppendingFile::State {
    int fd = -1;
    Fd owned;
    bool noReader = false;
};

AppendingFile::AppendingFile() = default;
AppendingFile::~AppendingFile() = default;

bool AppendingFile::noReader() const {
    return state_ && state_->noReader;
}

bool AppendingFile::Open(const std::string& path, std::string& reason) {
    state_ = std::make_unique<State>();
    State& s = *state_;
    if (const int own = posix::OwnDescriptor(path, true); own >= 0) {
        if (!UsableOwnDescriptor(own, reason)) {
            return false;
        }
        s.fd = own;
        return true;
    }
    WalkedPath walked;
    if (!WalkToWrite(path, walked, reason))
        return false;
    s.owned = OpenExistingForWriting(walked.folder.get(), walked.name, O_APPEND | O_CREAT, 0644,
                                     s.noReader, reason);
    if (!s.owned.valid()) {
        return false;
    }
    struct stat st {};
    struct stat folder {};
    if (::fstat(s.owned.get(), &st) != 0 || ::fstat(walked.folder.get(), &folder) != 0) {
        reason = Reason(errno);
        return false;
    }
    if (S_ISREG(st.st_mode)) {
        // Appended to in place: a second name another user made (in /tmp, to a file of ours)
        // would send the lines into that file, as would another user's file in a shared folder.
        if (st.st_nlink > 1) {
            reason = "it has " + std::to_string(st.st_nlink) + " names (hard links)";
            return false;
        }
        if ((folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0 &&
            st.st_uid != ::geteuid() && st.st_uid != folder.st_uid) {
            reason = "it belongs to another user and lies in a shared folder";
            return false;
        }
    } else if (!ClearNonBlocking(s.owned.get(), reason)) {
        return false;
    }
    s.fd = s.owned.get();
    return true;
}

bool AppendingFile::Append(std::string_view text, std::string& reason) {
    if (!state_ || state_->fd < 0) {
        reason = "it was not opened";
        return false;
    }
    return WriteAll(state_->fd, text, reason);
}

bool ReadWholeFile(const std::string& path, std::size_t maxBytes, bool regularOnly,
                   std::string& content, std::string& reason, FileId* id) {
    content.clear();
    Fd owned;
    int fd = posix::OwnDescriptor(path, false);
    if (fd < 0) {
        WalkedPath walked;
        if (!posix::WalkPath(path, walked, reason)) {
            if (reason == kFolder) {
                reason = regularOnly ? "not a regular file" : "is a folder, not a file";
            }
            return false;
        }
        if (walked.missing) {
            reason = "no such file";
            return false;
        }
        owned = Fd(::openat(walked.folder.get(), walked.name.c_str(),
                            O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        if (!owned.valid()) {
            reason = errno == ENOENT ? "no such file" : "cannot be read: " + Reason(errno);
            return false;
        }
        fd = owned.get();
        // A second name in a shared folder such as /tmp may be another user's hard link to a
        // file only we may read (where the kernel lets anyone link any file).
        struct stat file {};
        struct stat folder {};
        if (::fstat(fd, &file) == 0 && S_ISREG(file.st_mode) && file.st_nlink > 1 &&
            ::fstat(walked.folder.get(), &folder) == 0 && (folder.st_mode & S_ISVTX) != 0 &&
            (folder.st_mode & S_IWOTH) != 0) {
            reason = "it has " + std::to_string(file.st_nlink) +
                     " names (hard links) and lies in a shared folder, where another user may "
                     "have made one to a file of ours";
            return false;
        }
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        reason = "cannot be read: " + Reason(errno);
        return false;
    }
    if (regularOnly && !S_ISREG(st.st_mode)) {
        reason = "not a regular file";
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        reason = "is a folder, not a file";
        return false;
    }
    // A FIFO opened without waiting for a writer: a read now ends at once when there is none.
    if (!S_ISREG(st.st_mode) && owned.valid() && !ClearNonBlocking(fd, reason)) {
        return false;
    }
    content.resize(maxBytes + 1);
    std::size_t got = 0;
    while (got < content.size()) {
        const ssize_t n = ::read(fd, content.data() + got, content.size() - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd wait{fd, POLLIN, 0};
            ::poll(&wait, 1, -1);
            continue;
        }
        if (n < 0) {
            reason = "reading failed: " + Reason(errno);
            content.clear();
            return false;
        }
        if (n == 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    content.resize(got);
    if (S_ISFIFO(st.st_mode) && got == 0) {
        reason = "no program is writing to it";
        return false;
    }
    if (id != nullptr) {
        *id = IdOf(st);
    }
    return true;
}

std::optional<FileId> IdentifyFile(const std::string& path) {
    WalkedPath walked;
    std::string reason;
    struct stat st {};
    if (!posix::WalkPath(path, walked, reason) || walked.missing ||
        ::fstatat(walked.folder.get(), walked.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        return std::nullopt;
    }
    return IdOf(st);
}

bool ReplaceFileAtomically(const std::string& path, std::string_view content, std::string& reason,
                           FileLock* keepLocked) {
    OutputFile file;
    return file.Open(path, false, reason) && file.Commit(content, reason, keepLocked);
}

bool CreateFileIfMissing(const std::string& path, std::string_view content, bool& created,
                         std::string& reason) {
    created = false;
    WalkedPath walked;
    std::string walkReason;
    if (!posix::WalkPath(path, walked, walkReason)) {
        if (walkReason == Reason(ENOENT)) {
            reason = walkReason;  // a missing folder
            return false;
        }
        return true;  // whoever reads the file reports what is wrong with it (a link loop)
    }
    if (!walked.missing) {
        return true;
    }
    if (walked.viaLink) {
        reason = kDanglingLink;
        return false;
    }
    const int folder = walked.folder.get();
    std::string temporary;
    Fd fd = CreateTemporary(folder, walked.name, 0666, temporary, reason);
    if (!fd.valid()) {
        return false;
    }
    if (!WriteAll(fd.get(), content, reason) || Calls().fsync(fd.get()) != 0) {
        if (reason.empty()) {
            reason = Reason(errno);
        }
        ::unlinkat(folder, temporary.c_str(), 0);
        return false;
    }
    fd.Reset();
    // Never replaces: a file another program created meanwhile is kept.
    int linked = -1;
    int error = EINVAL;
#if defined(RENAME_NOREPLACE)
    linked = ::renameat2(folder, temporary.c_str(), folder, walked.name.c_str(), RENAME_NOREPLACE);
    error = errno;
#endif
    if (linked != 0) {
        if (error == EINVAL || error == ENOSYS) {
            // A file system without that rename: a second name, then the temporary one goes.
            linked = ::linkat(folder, temporary.c_str(), folder, walked.name.c_str(), 0);
            error = errno;
        }
        ::unlinkat(folder, temporary.c_str(), 0);
    }
    if (linked != 0) {
        if (error == EEXIST) {
            return true;
        }
        reason = Reason(error);
        return false;
    }
    created = true;
    SyncFolder(folder);
    return true;
}

}  // namespace quillpad
