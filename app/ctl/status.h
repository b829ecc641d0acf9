// The outcome of a command: an exit status and, on failure, one line for stderr.
#pragma once

#include <string>

namespace quillpad::ctl {

// Exit statuses, documented in the general help.
enum ExitCode : int {
    kExitOk = 0,
    kExitBadFile = 1,     // a file cannot be read or written, or its content is invalid
    kExitUsage = 2,       // unknown command or option, bad key number or assignment text
    kExitNoKeypad = 3,    // no keypad found, or none in the slot asked for
    kExitPermission = 4,  // a keypad is present but this user may not open it
    kExitTransfer = 5,    // reading from or writing to the keypad failed
    kExitVerify = 6,      // the keypad holds something other than what was written
};

struct Status {
    int code = kExitOk;
    std::string message;  // one line, without the program name; empty on success

    bool ok() const { return code == kExitOk; }
};

inline Status Ok() { return {}; }
inline Status Fail(int code, std::string message) { return {code, std::move(message)}; }

}  // namespace quillpad::ctl
