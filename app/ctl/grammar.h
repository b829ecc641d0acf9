// The grammar of quillpadctl's command line, written once: the commands, the options each takes
// and the value each expects, and the exit statuses. The parser reads it; the help's usage,
// option and exit status lines are made from it; and at build time quillpadctl-docs makes the
// manual page's synopsis and exit status, its command and option headings, and the shell
// completions' command and option lists from it. Prose about the commands stays in
// help_text.cpp and the manual page, and ctl_grammar_test holds it to this table.
#pragma once

#include <span>
#include <string>
#include <vector>

namespace quillpad::ctl {

enum class Command {
    kNone,
    kHelp,
    kVersion,
    kList,
    kShow,
    kSet,
    kDump,
    kRestore,
    kSave,
    kLoad,
    kDescriptor,
    kKeys
};

// What a command takes besides options.
enum class Arguments {
    kNone,
    kFile,         // exactly one file name
    kAssignments,  // set: KEY ASSIGNMENT pairs, or KEY and raw fields
    kHelpTopic,    // help: at most one command name
};

// One way of writing a command's arguments, with what it does.
struct CommandForm {
    // "KEY ASSIGNMENT [KEY ASSIGNMENT...]". A form may name some of the command's options
    // itself (set's raw fields); those are not added to its usage again.
    const char* arguments;
    const char* summary;  // one line, for the general help and the completions
};

struct CommandSpec {
    Command command;
    const char* name;
    Arguments arguments;
    std::vector<CommandForm> forms;  // at least one
    bool usesKeypad;                 // reads or writes a keypad: --device and --simulate apply
    bool listed;  // shown in help and completions ("version" is --version's twin)
};

// The value an option expects.
enum class Value {
    kNone,
    kSlot,      // a slot number from list
    kSeconds,   // a whole number of seconds
    kFile,      // a file name
    kLayout,    // an XKB keyboard layout name
    kKeyField,  // a raw field of the key named before it, 0 to 255
};

// To which commands an option applies.
enum class Scope {
    kProgram,   // --help, --version: with any command, or none
    kKeypad,    // accepted with every command; used by those that read or write a keypad
    kCommands,  // only with the commands in OptionSpec::commands
};

// Which option it is, for the parser.
enum class OptionId {
    kHelp,
    kVersion,
    kDevice,
    kWait,
    kSimulate,
    kVerify,
    kLayout,
    kJson,
    kOutput,
    kVk,
    kModifiers,
    kMouse,
};

struct OptionSpec {
    OptionId id;
    const char* name;   // "-o": the spelling usage lines show
    const char* alias;  // another spelling ("--output"), or nullptr
    Value value;
    const char* valueName;  // "FILE", as the help writes the value; nullptr without one
    Scope scope;
    std::vector<Command> commands;  // for Scope::kCommands
    // Listed under "Options:" of the general help and in the manual page's OPTIONS, and
    // offered before a command is typed; the others are shown in their commands' usage.
    bool general;
    // The general help's description; "{commands}" stands for the commands that take it.
    const char* description;
    const char* brief;  // a few words, for the completions
};

struct ExitSpec {
    int code;
    const char* meaning;  // lower case, no full stop: "a file cannot be read or written..."
};

std::span<const CommandSpec> Commands();
std::span<const OptionSpec> Options();
std::span<const ExitSpec> ExitStatuses();

// The command's entry, or nullptr when it has none (kNone).
const CommandSpec* FindCommand(Command command);
const CommandSpec* FindCommand(const std::string& name);
// The option spelled name (either spelling), or nullptr.
const OptionSpec* FindOption(const std::string& name);

// True when command accepts the option.
bool Takes(const OptionSpec& option, Command command);

// The options added to each of a command's forms, in the table's order: its own
// (Scope::kCommands) that the general help does not list (as the command list shows them);
// when full (as its usage shows them), then also its own that the general help lists, and
// --device and --simulate when it uses a keypad. Options one of its forms names are left out.
std::vector<const OptionSpec*> UsageOptions(const CommandSpec& command, bool full);

// The option as its usage shows it: "--device N", "-o FILE".
std::string OptionUsage(const OptionSpec& option);
// Its spellings for a message: "--device", "-o (--output)".
std::string OptionSpellings(const OptionSpec& option);
// The names of the commands that take it, joined by ", ": "set, restore, load".
std::string CommandNames(const OptionSpec& option);
// Its description with the commands that take it filled in.
std::string Description(const OptionSpec& option);
// The listed commands' names, joined by separator.
std::string ListedCommandNames(const char* separator);

// The command whose help says how to get access to a keypad this user may not open.
inline constexpr Command kAccessHelpCommand = Command::kList;

}  // namespace quillpad::ctl
