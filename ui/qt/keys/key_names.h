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

// Which keymap names the character keys. By default (UseSystemKeymap) it is the X server's
// keymap and active layout group when Qt runs on X11, the keymap the compositor sends when Qt
// runs on Wayland (its first layout group), otherwise xkbcommon's default keymap
// (XKB_DEFAULT_LAYOUT and friends, else US). UseKeymapLayout fixes one layout and ignores
// both the X server and the environment; an empty layout means xkbcommon's built-in default
// (US). Without any usable keymap the character keys are named after the US layout.
void UseSystemKeymap();
void UseKeymapLayout(const std::string& layout, const std::string& variant = {});

}  // namespace quillpad
