// Texts quillpadctl prints: the six keys, the raw block, JSON strings and numbers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "assignment_text.h"
#include "config_block.h"
#include "key_assignment.h"

namespace quillpad::ctl {

// "0x3E"
std::string HexByte(std::uint8_t value);

// A JSON string literal, with quotes; bytes that are not valid UTF-8 become U+FFFD.
std::string JsonString(std::string_view text);

// One line per key: the canonical text, the raw fields, and the window's text when it differs.
// Keys are named with names (the US names when null).
std::string FormatKeysTable(const KeyAssignments& keys, const KeyNameSet* names = nullptr);

// An array of {key, vk, modifiers, mouse, text (as the window shows it), canonical, usage (the
// HID usage the key is written with)}.
std::string FormatKeysJson(const KeyAssignments& keys, const KeyNameSet* names = nullptr);

// One key name a line: the name, a tab and its usage ("Keypad *\t0x55").
std::string FormatKeyNames(const std::vector<NamedKey>& keys);

// An array of {name, usage}.
std::string FormatKeyNamesJson(const std::vector<NamedKey>& keys);

// 16 bytes a line in upper-case hex, each line led by its offset in hex.
std::string FormatHexDump(const ConfigBlock& block);

}  // namespace quillpad::ctl
