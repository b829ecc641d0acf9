// What a replaced file keeps besides its owner and mode: its access control list and its
// other security attributes (security.*, but never file capabilities).
#pragma once

#include <string>

namespace quillpad::posix {

// Copies from's ACL and security attributes to to. groupKept: to has from's group; when it
// has not, an ACL with more than the mode bits cannot be kept without widening or narrowing
// what its entries meant, and the copy is refused. False with the reason.
bool CopySecurity(int from, int to, bool groupKept, std::string& reason);

}  // namespace quillpad::posix
