// Systems without an ACL library here: only owner, group and mode are kept.
#include "file_security.h"

namespace quillpad::posix {

bool CopySecurity(int, int, bool, std::string&) {
    return true;
}

}  // namespace quillpad::posix
