// The simulated keypad's memory on disk: exactly 256 bytes, replaced whole on every save.
#pragma once

#include <string>

#include "keypad_model.h"

namespace quillpad {

// Loads memory from path. A missing file is created holding the keypad's factory memory
// (zeros, byte 90 = 0xFC). False with a one-line error when the file has another size or
// cannot be read or created; the file is then left as it was.
bool LoadStateFile(const std::string& path, KeypadModel::Memory& memory, std::string& error);
// Writes memory to a temporary file beside path and renames it over path, so the file never
// holds half a memory. False with a one-line error on failure (path is left as it was).
bool SaveStateFile(const std::string& path, const KeypadModel::Memory& memory, std::string& error);

}  // namespace quillpad
