#pragma once

namespace quillpad {

// Starts the first on-screen keyboard program found on the search path, detached.
// Returns false when none was found or it could not be started.
bool StartOnScreenKeyboardProgram();

// What the window says when no on-screen keyboard program could be started.
inline constexpr const char* kNoOnScreenKeyboardText =
    "No on-screen keyboard could be started.\n"
    "Install onboard, florence or matchbox-keyboard, then click the keyboard again.";

}  // namespace quillpad
