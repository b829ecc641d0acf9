// The keypad's memory kept in a file between runs: the 256 bytes as they are, nothing else.
// A missing file stands for a keypad that was never written: all zeros but the block marker
// 0xFC at byte 90.
#pragma once

#include <string>

#include "config_block.h"

namespace quillpad::emu {

// The memory of a keypad that was never written.
ConfigBlock FreshMemory();

// Reads path into memory. A missing file gives FreshMemory(). False with a one-line reason in
// error when the file cannot be read or does not hold exactly 256 bytes; memory is then
// untouched.
bool LoadState(const std::string& path, ConfigBlock& memory, std::string& error);

// Writes memory to path through a temporary file beside it, so a failed write never leaves a
// half-written state. False with a reason in error on failure.
bool SaveState(const std::string& path, const ConfigBlock& memory, std::string& error);

}  // namespace quillpad::emu
