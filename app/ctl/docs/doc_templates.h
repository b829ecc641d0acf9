// Fills the manual page and the shell completions of quillpadctl in from the command-line
// grammar (grammar.h), so that they name the commands and options the parser takes.
//
// A template is the finished file with markers "@{...}@" where the grammar goes (configure_file
// leaves them alone):
//   @{LIST:SEP}@     the names of a list, joined by SEP, which may be empty or hold blanks:
//                    commands, file-commands, assignment-commands, topic-commands (listed
//                    commands, and those taking a file, KEY ASSIGNMENT pairs or a command);
//                    value-options, plain-value-options (with a value, but not a key's raw
//                    field), field-options, file-options, layout-options, number-options (all
//                    spellings of the options whose value is of that kind); assignment-words
//                    (modifier and mouse names and Null, quoted for a shell where they hold
//                    blanks)
//   @{NAME ARGS}@    a block, on a line of its own; its lines keep the marker's indentation:
//                    bash-options, zsh-options, zsh-commands, fish-commands, fish-options (the
//                    completions' per-command option lists and descriptions); synopsis,
//                    exit-status, "command NAME [FORM]" (a COMMANDS item's heading, FORM
//                    counting from 1) and "option NAME" (an OPTIONS item's heading) for the
//                    manual page (scdoc).
// A manual page that has command or option headings must have one for every form of every
// listed command and every option the general help lists, so that the page cannot leave one out.
#pragma once

#include <string>

namespace quillpad::ctl {

// The template with every marker replaced; false with the reason when a marker is unknown or
// malformed, or headings are missing or repeated.
bool ExpandDocTemplate(const std::string& text, std::string& out, std::string& error);

}  // namespace quillpad::ctl
