// The simulated keypad's memory on disk: exactly 256 bytes, replaced whole on every save.
#pragma once

#include <string>

#include "emulated_keypad/keypad_protocol.h"

namespace quillpad {

class FileLock;

// Reads memory from path. False with a one-line error naming the file when it is not a
// regular file of exactly 256 bytes or cannot be read; memory is then unchanged.
bool ReadStateFile(const std::string& path, KeypadMemory& memory, std::string& error);
// As ReadStateFile, but a missing file is first created holding the factory memory (another
// program's file created meanwhile is kept and read).
bool LoadStateFile(const std::string& path, KeypadMemory& memory, std::string& error);
// Replaces the file's content with memory (see atomic_file.h), moving keepLocked's lock to the
// new file. False with a one-line error; the file is then left as it was.
bool SaveStateFile(const std::string& path, const KeypadMemory& memory, std::string& error,
                   FileLock* keepLocked = nullptr);

}  // namespace quillpad
