#include "path_walk.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <optional>
#include <vector>

namespace quillpad::posix {

namespace {

constexpr int kMaxLinks = 40;  // as many links as the kernel follows in one path

#ifdef O_PATH
constexpr int kLookFlags = O_PATH;
#else
constexpr int kLookFlags = O_RDONLY | O_NONBLOCK | O_NOCTTY;
#endif

std::string Reason(int error) {
    return std::strerror(error);
}

// Puts the parts of path on todo so that the first part is at the back.
void PushParts(const std::string& path, std::vector<std::string>& todo) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t slash = path.find('/', start);
        const std::size_t end = slash == std::string::npos ? path.size() : slash;
        if (end > start) {
            parts.push_back(path.substr(start, end - start));
        }
        start = end + 1;
    }
    todo.insert(todo.end(), parts.rbegin(), parts.rend());
}

Fd OpenStart(bool absolute) {
    return Fd(::open(absolute ? "/" : ".", kLookFlags | O_DIRECTORY | O_CLOEXEC));
}

// Looks at part in folder once: st describes what has the name, and node is a descriptor of
// it (of a link itself) where the system can open one without following it. 0 or an errno.
int Look(int folder, const std::string& part, Fd& node, struct stat& st) {
#ifdef O_PATH
    node = Fd(::openat(folder, part.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    if (!node.valid() || ::fstat(node.get(), &st) != 0) {
        return errno;
    }
#else
    if (::fstatat(folder, part.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        return errno;
    }
#endif
    return 0;
}

// The target of the link open at node (named name in folder where there is no O_PATH).
bool ReadLink(int node, int folder, const std::string& name, std::string& target,
              std::string& reason) {
    char to[PATH_MAX];
#ifdef O_PATH
    (void)folder;
    (void)name;
    const ssize_t n = ::readlinkat(node, "", to, sizeof to);
#else
    (void)node;
    const ssize_t n = ::readlinkat(folder, name.c_str(), to, sizeof to);
#endif
    if (n < 0 || static_cast<std::size_t>(n) == sizeof to) {
        reason = Reason(n < 0 ? errno : ENAMETOOLONG);
        return false;
    }
    target.assign(to, static_cast<std::size_t>(n));
    if (target.empty()) {
        reason = Reason(ENOENT);
        return false;
    }
    return true;
}

}  // namespace

Fd& Fd::operator=(Fd&& other) noexcept {
    if (this != &other) {
        Reset(other.Release());
    }
    return *this;
}

void Fd::Reset(int fd) {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    fd_ = fd;
}

bool LinkIsPlanted(const struct stat& folder, const struct stat& link) {
    const bool shared = (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0;
    return shared && link.st_uid != ::geteuid() && link.st_uid != folder.st_uid;
}

bool WalkPath(const std::string& path, WalkedPath& out, std::string& reason) {
    if (path.empty()) {
        reason = Reason(ENOENT);
        return false;
    }
    std::vector<std::string> todo;
    PushParts(path, todo);
    Fd folder = OpenStart(path.front() == '/');
    int links = 0;
    bool viaLink = false;
    // Links of other users than this one and root: what they lead to must be their owner's.
    std::optional<uid_t> linkOwner;
    bool linkOwners = false;  // links of two such users
    const auto finish = [&](Fd& at, const std::string& name, const struct stat* st) {
        if (linkOwner) {
            struct stat folderStat {};
            const bool known = st != nullptr || ::fstat(at.get(), &folderStat) == 0;
            const uid_t owner = st != nullptr ? st->st_uid : folderStat.st_uid;
            if (!known || linkOwners || owner != *linkOwner) {
                reason =
                    "it is reached through a symbolic link another user made, to something that "
                    "user does not own, which is not followed";
                return false;
            }
        }
        out.folder = std::move(at);
        out.name = name;
        out.missing = st == nullptr;
        out.viaLink = viaLink;
        return true;
    };
    if (!folder.valid()) {
        reason = Reason(errno);
        return false;
    }
    if (todo.empty()) {
        reason = "it is a folder, not a file";
        return false;
    }
    while (!todo.empty()) {
        const std::string part = std::move(todo.back());
        todo.pop_back();
        const bool last = todo.empty();
        if (part == "." || part == "..") {
            if (last) {
                reason = "it is a folder, not a file";
                return false;
            }
            if (part == "..") {
                folder = Fd(::openat(folder.get(), "..", kLookFlags | O_DIRECTORY | O_CLOEXEC));
                if (!folder.valid()) {
                    reason = Reason(errno);
                    return false;
                }
            }
            continue;
        }
        // One look at the name: the descriptor is of whatever had it then, a link included.
        Fd node;
        struct stat st {};
        if (const int error = Look(folder.get(), part, node, st); error != 0) {
            if (error == ENOENT && last) {
                return finish(folder, part, nullptr);
            }
            reason = Reason(error);
            return false;
        }
        if (S_ISLNK(st.st_mode)) {
            struct stat here {};
            if (::fstat(folder.get(), &here) != 0) {
                reason = Reason(errno);
                return false;
            }
            if (LinkIsPlanted(here, st)) {
                reason = last ? "it is a symbolic link another user made in a shared folder, "
                                "which is not followed"
                              : "its path goes through a symbolic link another user made in a "
                                "shared folder (" +
                                    part + "), which is not followed";
                return false;
            }
            if (++links > kMaxLinks) {
                reason = Reason(ELOOP);
                return false;
            }
            std::string target;
            if (!ReadLink(node.get(), folder.get(), part, target, reason)) {
                return false;
            }
            viaLink = viaLink || last;
            if (st.st_uid != ::geteuid() && st.st_uid != 0) {
                linkOwners = linkOwners || (linkOwner && *linkOwner != st.st_uid);
                linkOwner = st.st_uid;
            }
            PushParts(target, todo);
            if (target.front() == '/') {
                folder = OpenStart(true);
                if (!folder.valid()) {
                    reason = Reason(errno);
                    return false;
                }
            }
            if (todo.empty()) {  // a link to "/"
                reason = "it is a folder, not a file";
                return false;
            }
            continue;
        }
        if (last) {
            return finish(folder, part, &st);
        }
        if (!S_ISDIR(st.st_mode)) {
            reason = Reason(ENOTDIR);
            return false;
        }
#ifdef O_PATH
        folder = std::move(node);
#else
        folder = Fd(
            ::openat(folder.get(), part.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!folder.valid()) {
            reason = Reason(errno);
            return false;
        }
#endif
    }
    reason = Reason(ENOENT);
    return false;
}

int OwnDescriptor(const std::string& path, bool forWriting) {
    if (path == "-") {
        return forWriting ? STDOUT_FILENO : STDIN_FILENO;
    }
    if (path == "/dev/stdin") {
        return STDIN_FILENO;
    }
    if (path == "/dev/stdout") {
        return STDOUT_FILENO;
    }
    if (path == "/dev/stderr") {
        return STDERR_FILENO;
    }
    const std::string self = "/proc/" + std::to_string(::getpid()) + "/fd/";
    std::string number;
    for (const std::string& prefix :
         {std::string("/dev/fd/"), std::string("/proc/self/fd/"), self}) {
        if (path.starts_with(prefix)) {
            number = path.substr(prefix.size());
        }
    }
    if (number.empty() || number.size() > 6 ||
        number.find_first_not_of("0123456789") != std::string::npos) {
        return -1;
    }
    return std::stoi(number);
}

}  // namespace quillpad::posix
