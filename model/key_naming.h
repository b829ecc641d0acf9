// The display text of an assignment: modifiers (Shift, Alt, Ctrl, Windows), then mouse
// buttons (left, middle, right), then the key's name, joined by "+". Texts are UTF-8.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "key_assignment.h"

namespace quillpad {

// Names a key from a key-down lParam (scan code in bits 16-23, extended flag in bit 24) after
// the user's keyboard layout; an empty text when the key has no name. The window supplies it.
using KeyNameLookup = std::function<std::string(std::uint32_t lParam)>;

// At most this many bytes of a looked-up name are used (cut on a character boundary).
inline constexpr std::size_t kMaxKeyNameBytes = 31;

// The program's own name of a virtual key ("F5", "PageUp", "a", ...); never empty.
std::string VkToKeyName(std::uint8_t vk);

// The raw display text. A captured key (lParam != 0) is named through lookup when
// useKeyNames is true and lookup is set. A character key known only by its virtual key (read
// from the keypad) is named through lookup too, at the position the US layout has that key,
// so that it shows what the user's layout types there; other keys, and character keys lookup
// cannot name, are named by VkToKeyName. A character key's name is shown in lower case, and
// with Shift as shiftedLookup names it at the same position; where that gives nothing, a
// letter in upper case and any other character by the US Shift table. The result may still
// hold "Null" or stray "+" signs: NormalizeKeyText cleans it.
std::string FormatAssignment(const KeyAssignment& assignment, bool useKeyNames,
                             const KeyNameLookup& lookup = {},
                             const KeyNameLookup& shiftedLookup = {});

// The text the windows show: FormatAssignment cleaned by NormalizeKeyText, except that a key
// whose name ends in "+" keeps its name whole ("+", "Ctrl++", "Shift++", "Num +").
std::string DisplayAssignmentText(const KeyAssignment& assignment, bool useKeyNames,
                                  const KeyNameLookup& lookup = {},
                                  const KeyNameLookup& shiftedLookup = {});

// Cleans a display text: drops every "Null", folds "++" to "+" once, trims one leading and
// one trailing "+", and gives "Null" for an empty result. Never splits a UTF-8 character.
std::string NormalizeKeyText(std::string_view text);

}  // namespace quillpad
