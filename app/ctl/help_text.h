// The help texts of quillpadctl and its commands.
#pragma once

#include <string>

#include "command_line.h"

namespace quillpad::ctl {

// The general help for Command::kNone, else the command's own.
std::string HelpText(Command topic);

// "quillpadctl 1.3.0"
std::string VersionText();

}  // namespace quillpad::ctl
