// The user's keyboard layout through xkbcommon.
#pragma once

#include <string>

namespace quillpad {

// The character the active layout group puts on the key with this evdev code without any
// modifier, upper-cased (one code point to one code point), as UTF-8. Dead keys give their
// spacing accent. Empty when there is no keymap or the key gives no printable character.
std::string LayoutKeyCharacter(int evdev);

// The character the same key gives with Shift, as it is (not case-mapped); empty as above.
std::string LayoutShiftedKeyCharacter(int evdev);

}  // namespace quillpad
