// The help texts of quillpadctl and its commands.
#pragma once

#include <string>

#include "command_line.h"

namespace quillpad::ctl {

// The general help for Command::kNone, else the command's own.
std::string HelpText(Command topic);

// "quillpadctl " and the project's version, as the build defines it (QUILLPAD_VERSION).
std::string VersionText();

}  // namespace quillpad::ctl
