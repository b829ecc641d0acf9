// Reading and writing the files quillpadctl is given, with the errors it reports for them.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "atomic_file.h"
#include "status.h"

namespace quillpad::ctl {

// Reads a whole file of at most maxBytes bytes into content (a pipe too, never waiting for a
// writer that is not there).
Status ReadSmallFile(const std::string& path, std::size_t maxBytes, std::string& content);

// Opens the file a command writes, before the keypad is claimed: a regular file (or a new one)
// is prepared for replacing as atomic_file.h describes, so that a failure leaves the old
// content; a device, pipe or terminal, "-" and /dev/stdout are written to. The simulated
// keypad's own memory file (simulateFile) is refused.
Status OpenOutput(const std::string& path, const std::optional<std::string>& simulateFile,
                  OutputFile& file);
// Writes content into the file OpenOutput opened.
Status CommitOutput(const std::string& path, OutputFile& file, std::string_view content);

}  // namespace quillpad::ctl
