// Profiles: the six assignments as a small text file that people keep and edit.
//
//   # comment lines start with '#' (only whole lines: '#' is also a key name)
//   key1 = Ctrl+F5
//   key3 = Mouse Left+a
//
// One line per key, "keyN = ASSIGNMENT" with N from 1 to 6 and the assignment text of
// assignment_text.h. Blank lines are ignored; a key may be named once. Keys a profile does not
// name keep what they hold.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "assignment_text.h"
#include "key_assignment.h"

namespace quillpad {

// Profiles are small; a larger file is certainly not one.
inline constexpr std::size_t kMaxProfileBytes = 64 * 1024;

// Element k-1 holds key k's assignment when the profile names key k.
using ProfileKeys = std::array<std::optional<KeyAssignment>, kKeyCount>;

struct ProfileParse {
    bool ok = false;
    ProfileKeys keys;
    std::string error;  // "line N: ...", one line, when !ok
};

// Checks the whole text; on any fault nothing is returned but the first fault. Assignments use
// the names of names (the US names when null).
ProfileParse ParseProfile(std::string_view text, const KeyNameSet* names = nullptr);

// The six keys as a profile with their canonical texts, after the comment lines of header
// (each line of it gets "# " in front).
std::string FormatProfile(const KeyAssignments& keys, std::string_view header,
                          const KeyNameSet* names = nullptr);

// The comment lines a saved profile starts with (for FormatProfile's header): what the file
// is, who saved it (savedBy: "quillpadctl 1.3.0 from the keypad in slot 0"), and how its keys
// are named: after the keyboard layout, or by their positions on a US keyboard (nullopt).
std::string ProfileHeader(std::string_view savedBy, const std::optional<std::string>& layout);

// The layout a profile's header says its keys are named after; nullopt for the positions on a
// US keyboard, which a profile without such a line means too (it was saved before profiles
// said so, when only the US names existed).
std::optional<std::string> ProfileLayout(std::string_view text);

// Applies the keys a profile names.
void ApplyProfile(const ProfileKeys& profile, KeyAssignments& keys);

}  // namespace quillpad
