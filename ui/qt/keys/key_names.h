// Names a captured key from its key-down lParam, the way Windows' key-name call does:
// fixed names for keys without a character ("Esc", "Num 1", "Right Ctrl", ...), and for
// character keys the character the user's keyboard layout puts on the key ("A", "Ö", "ß").
#pragma once

#include <cstdint>
#include <string>

namespace quillpad {

// UTF-8; empty for a scan code no key has. Only the scan code (bits 16-23) and the extended
// flag (bit 24) count.
std::string KeyNameFromLParam(std::uint32_t lParam);

// What a character key types with Shift in the user's layout ("!", "Z", "%"); empty for other
// keys and when the layout gives nothing printable.
std::string ShiftedKeyNameFromLParam(std::uint32_t lParam);

// The keymap that names the character keys: layout_keymap.h (SetLayoutKeymap).

}  // namespace quillpad
