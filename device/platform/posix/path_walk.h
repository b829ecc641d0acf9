// Walking a path on POSIX systems one part at a time from a folder's descriptor, so that no
// name is looked up twice: what was checked is what is used.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <string>

namespace quillpad::posix {

// A descriptor closed with the object.
class Fd {
  public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() { Reset(); }
    Fd(Fd&& other) noexcept : fd_(other.Release()) {}
    Fd& operator=(Fd&& other) noexcept;
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int Release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    void Reset(int fd = -1);

  private:
    int fd_ = -1;
};

// Where a path leads: the folder that holds its last part (opened without following any
// link), and that part's name there, which is not a symbolic link when the walk looked.
struct WalkedPath {
    Fd folder;
    std::string name;
    bool missing = false;  // nothing has the name
    bool viaLink = false;  // the path's last part was a symbolic link (resolved on purpose)
};

// Walks path from the current or the root folder, one part at a time: each folder is opened
// from the one before with O_NOFOLLOW, and each symbolic link met on the way (the last part's
// too) is read from a descriptor of the link itself and followed only if LinkIsPlanted finds
// nothing wrong with it. A link of another user (not this one, not root) may lead only to
// what that user owns: the file, or for a missing file its folder; else a user who controls a
// folder could send a privileged program's writes and reads anywhere through it. False with
// the reason (no path) when the path cannot be walked: a missing folder, a link loop, a planted
// or foreign link, a last part that is a folder.
bool WalkPath(const std::string& path, WalkedPath& out, std::string& reason);

// The rule the kernel applies where fs.protected_symlinks is set, kept where it is not: a
// link another user made in a sticky folder anyone may write to (such as /tmp) is not followed,
// unless that user owns the folder, since it may have been planted to send us elsewhere.
bool LinkIsPlanted(const struct stat& folder, const struct stat& link);

// The descriptor path means when it names one this process already has open: "-" (stdin for
// reading, stdout for writing), /dev/stdin, /dev/stdout, /dev/stderr, /dev/fd/N,
// /proc/self/fd/N and /proc/PID/fd/N of this process. -1 otherwise.
int OwnDescriptor(const std::string& path, bool forWriting);

}  // namespace quillpad::posix
