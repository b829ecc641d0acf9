// The commands of quillpadctl. Each returns its status and leaves what it prints in out, which
// the caller writes only on success.
#pragma once

#include <string>

#include "command_line.h"
#include "status.h"

namespace quillpad::ctl {

Status RunCommand(const CommandLine& commandLine, std::string& out);

}  // namespace quillpad::ctl
