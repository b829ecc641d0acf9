// Copying a file's access control list (libacl) and security attributes on Linux.
#include <acl/libacl.h>
#include <sys/acl.h>
#include <sys/xattr.h>

#include <cerrno>
#include <cstring>
#include <string_view>
#include <vector>

#include "platform/posix/file_security.h"

namespace quillpad::posix {

namespace {

bool Unsupported(int error) {
    return error == ENOTSUP || error == EOPNOTSUPP || error == ENOSYS;
}

bool CopyAcl(int from, int to, bool groupKept, std::string& reason) {
    acl_t acl = ::acl_get_fd(from);
    if (acl == nullptr) {
        if (Unsupported(errno)) {
            return true;  // a file system without ACLs: the mode says everything
        }
        reason = std::string("its access control list cannot be read: ") + std::strerror(errno);
        return false;
    }
    bool ok = true;
    // 0: the ACL says no more than the mode bits, which are copied already.
    if (::acl_equiv_mode(acl, nullptr) != 0) {
        if (!groupKept) {
            reason =
                "its access control list cannot be kept: the new file could not be given its "
                "group";
            ok = false;
        } else if (::acl_set_fd(to, acl) != 0) {
            reason = std::string("its access control list cannot be kept: ") + std::strerror(errno);
            ok = false;
        }
    }
    ::acl_free(acl);
    return ok;
}

// The names of from's extended attributes, each ending in a zero byte.
bool AttributeNames(int from, std::vector<char>& names, std::string& reason) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        const ssize_t size = ::flistxattr(from, nullptr, 0);
        if (size < 0) {
            if (Unsupported(errno)) {
                names.clear();
                return true;
            }
            break;
        }
        names.resize(static_cast<std::size_t>(size));
        const ssize_t got = ::flistxattr(from, names.data(), names.size());
        if (got >= 0) {
            names.resize(static_cast<std::size_t>(got));
            return true;
        }
        if (errno != ERANGE) {
            break;
        }
    }
    reason = std::string("its attributes cannot be read: ") + std::strerror(errno);
    return false;
}

bool CopySecurityAttributes(int from, int to, std::string& reason) {
    std::vector<char> names;
    if (!AttributeNames(from, names, reason)) {
        return false;
    }
    for (std::size_t at = 0; at < names.size();) {
        const std::string name(names.data() + at);
        at += name.size() + 1;
        // Capabilities would make a data file a privileged program; the ACL is copied above.
        if (!std::string_view(name).starts_with("security.") || name == "security.capability") {
            continue;
        }
        std::vector<char> value(256);
        ssize_t size = ::fgetxattr(from, name.c_str(), value.data(), value.size());
        if (size < 0 && errno == ERANGE) {
            size = ::fgetxattr(from, name.c_str(), nullptr, 0);
            value.resize(size > 0 ? static_cast<std::size_t>(size) : 0);
            size = ::fgetxattr(from, name.c_str(), value.data(), value.size());
        }
        if (size < 0 ||
            ::fsetxattr(to, name.c_str(), value.data(), static_cast<std::size_t>(size), 0) != 0) {
            if (Unsupported(errno)) {
                continue;
            }
            reason = "its attribute " + name + " cannot be kept: " + std::strerror(errno);
            return false;
        }
    }
    return true;
}

}  // namespace

bool CopySecurity(int from, int to, bool groupKept, std::string& reason) {
    return CopyAcl(from, to, groupKept, reason) && CopySecurityAttributes(from, to, reason);
}

}  // namespace quillpad::posix
