#pragma once

namespace quillpad {

// Starts the first on-screen keyboard program found on the search path, detached.
// Returns false when none was found or it could not be started.
bool StartOnScreenKeyboardProgram();

}  // namespace quillpad
