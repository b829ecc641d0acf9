// Reading and writing the files quillpadctl is given, with the errors it reports for them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "status.h"

namespace quillpad::ctl {

// Reads a whole regular file of at most maxBytes bytes into content.
Status ReadSmallFile(const std::string& path, std::size_t maxBytes, std::string& content);

// Replaces the file's content. A regular file (or a new one) is replaced as atomic_file.h
// describes, so that a failure leaves the old content; a device or pipe (/dev/stdout) is
// written to.
Status WriteWholeFile(const std::string& path, std::string_view content);

}  // namespace quillpad::ctl
