// The command line of quillpadctl, parsed as grammar.h describes it: the command, its
// arguments and the options given.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "grammar.h"
#include "status.h"

namespace quillpad::ctl {

// One key named by `set`: either an assignment text or raw fields.
struct SetItem {
    int key = 0;
    std::optional<std::string> text;
    std::optional<std::uint8_t> vk;
    std::optional<std::uint8_t> modifiers;
    std::optional<std::uint8_t> mouse;

    bool HasFields() const { return vk || modifiers || mouse; }
};

// How long a command waits for another program to let go of the keypad unless --wait says:
// another command's read, change and write take well under a second, and a script that meets a
// keypad held by a window left open should fail soon rather than hang.
constexpr int kDefaultWaitSeconds = 10;
constexpr int kMaxWaitSeconds = 24 * 60 * 60;

struct CommandLine {
    Command command = Command::kNone;
    Command helpTopic = Command::kNone;  // for kHelp: the command asked about, or kNone
    int device = 0;
    std::optional<std::string> simulate;
    std::optional<std::string> layout;  // --layout: name keys as this keyboard layout types them
    int waitSeconds = kDefaultWaitSeconds;  // --wait
    bool verify = false;
    bool json = false;
    std::optional<std::string> output;  // dump -o
    std::string file;                   // restore, save, load, descriptor
    std::vector<SetItem> items;         // set
};

// Parses argv[1..]. A failure has kExitUsage and names the offending argument.
Status ParseCommandLine(const std::vector<std::string>& args, CommandLine& out);

// The command's name as typed ("show"), or "" for kNone.
const char* CommandName(Command command);

// Parses 0..max in decimal or 0x hex.
std::optional<unsigned> ParseNumber(const std::string& text, unsigned max);

}  // namespace quillpad::ctl
