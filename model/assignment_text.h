// Assignment text: the one-line form of a key's assignment that people type and read, and its
// parser. It is the window's display text made unambiguous, so that every assignment the keypad
// can hold prints as a text that reads back to the same record.
//
// Grammar: names joined by "+", in any case, blanks around names ignored:
//   modifiers  Shift, Alt, Ctrl, Windows (or Win), and the modifier byte's high bits
//              Right Ctrl (0x10), Right Shift (0x20), Right Alt (0x40), Right Windows (0x80)
//   mouse      Mouse Left, Mouse Right, Mouse Middle, and the button byte's high bits
//              Mouse 4 (0x08) to Mouse 8 (0x80)
//   key        at most one, last: a key name as the window shows it ("F5", "PageUp", "a",
//              ";", "Keypad *", ...); with Shift also the shifted character ("Shift+!");
//              "Null" for no key. "Keypad +" is the keypad's plus key; "Shift+=" (or "Shift++")
//              is Shift with the equals key.
// The text "Null" alone is the empty assignment.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "key_assignment.h"

namespace quillpad {

// The names of the character keys (letters, digits, punctuation) as a keyboard layout types
// them, by the US virtual key of the key's position: plain without Shift ("z", "\xC3\xB6"),
// shifted with it ("Z"). An empty name keeps the US one.
struct LayoutNames {
    std::array<std::string, 256> plain;
    std::array<std::string, 256> shifted;
};

// The names a text may use. Every function taking one uses the US names when it is null.
struct KeyNameSet;

// The names of a layout: its character keys by what they type, all other keys as for the US
// layout. Names two keys share go to the first (by virtual key) unless one is a shifted
// character, and a shifted character that is "+" or another key's name is written as Shift with
// the key's own name.
std::shared_ptr<const KeyNameSet> MakeKeyNameSet(const LayoutNames& layout);

// The canonical text: modifiers in the order Shift, Alt, Ctrl, Windows, Right Ctrl, Right Shift,
// Right Alt, Right Windows; then mouse buttons Left, Middle, Right, 4 to 8; then the key. It is
// the window's display text (table names) except where that one is ambiguous: Shift with "="
// reads "Shift+=" (the window shows "Shift"), the keypad plus key keeps its "+" (the window
// shows "Keypad "), and the high bits, which the window does not show, are named. lParam is
// ignored.
std::string CanonicalAssignmentText(const KeyAssignment& assignment,
                                    const KeyNameSet* names = nullptr);

// The text the window shows for an assignment read from the keypad (table names, cleaned);
// with names, as a window on that layout shows it.
std::string WindowAssignmentText(const KeyAssignment& assignment,
                                 const KeyNameSet* names = nullptr);

// True for 0 and for every virtual key the keypad can hold: those a stored usage reads back as.
bool IsKeypadVk(std::uint8_t vk);

struct AssignmentParse {
    bool ok = false;
    KeyAssignment assignment;  // lParam always 0
    std::string error;         // one line, when !ok
};

// Parses an assignment text. Errors name the offending part; an unknown name lists every
// accepted one.
AssignmentParse ParseAssignmentText(std::string_view text, const KeyNameSet* names = nullptr);

// The names an assignment is made of besides key names: the modifiers (with Win and Right Win),
// the mouse buttons, and Null; as the shell completions offer them.
std::vector<std::string> ModifierAndMouseNames();

// Every accepted name, as one line for help and error texts.
std::string AcceptedAssignmentNames(const KeyNameSet* names = nullptr);

// A key name the parser accepts on its own (no modifier or mouse word, not "Null"), with the
// usage the keypad stores for it.
struct NamedKey {
    std::string name;
    std::uint8_t usage;
};

// Every accepted key name, in the order of their usages.
std::vector<NamedKey> AcceptedKeyNames(const KeyNameSet* names = nullptr);

// text in single quotes for a message: valid UTF-8 as it is, control characters, invisible
// marks and bytes that are not UTF-8 as \xNN, cut after 60 characters.
std::string QuoteForMessage(std::string_view text);
// The same without quotes or cutting: a whole message, whose file names may hold anything.
std::string ShowForMessage(std::string_view text);

}  // namespace quillpad
