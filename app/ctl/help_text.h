// The help texts of quillpadctl and its commands.
#pragma once

#include <string>
#include <vector>

#include "grammar.h"

namespace quillpad::ctl {

// The general help for Command::kNone, else the command's own.
std::string HelpText(Command topic);

// Each form of the command as its usage writes it, after "quillpadctl ": "show [--json]".
// full: with every option it takes (UsageOptions), as its own help shows it.
std::vector<std::string> FormUsages(const CommandSpec& command, bool full);
// The usage lines of a command's help: "Usage: quillpadctl show [--json] ...".
std::string UsageLines(const CommandSpec& command);
// An option's spellings and value as the general help lists it: "-h, --help", "--device N".
std::string OptionNames(const OptionSpec& option);

// "quillpadctl " and the project's version, as the build defines it (QUILLPAD_VERSION).
std::string VersionText();

}  // namespace quillpad::ctl
