// The user's keyboard layout through xkbcommon.
#pragma once

#include <string>

namespace quillpad {

// The character the active layout group puts on the key with this evdev code without any
// modifier, upper-cased (one code point to one code point, and only where the lower case of the
// result is the character again), as UTF-8. Dead keys give their
// spacing accent. Empty when there is no keymap or the key gives no printable character.
std::string LayoutKeyCharacter(int evdev);

// The character the same key gives with Shift, as it is (not case-mapped); empty as above.
std::string LayoutShiftedKeyCharacter(int evdev);

// The keymap's word for what the key gives without modifiers ("Zenkaku_Hankaku"), for keys
// that type nothing; empty when there is no keymap or the key gives nothing.
std::string LayoutKeySymName(int evdev);

}  // namespace quillpad
