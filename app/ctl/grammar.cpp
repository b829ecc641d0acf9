#include "grammar.h"

#include <algorithm>
#include <array>

#include "status.h"

namespace quillpad::ctl {
namespace {

using enum Command;

const std::array<CommandSpec, 11> kCommands = {{
    {kList,
     "list",
     Arguments::kNone,
     {{"", "the keypads found, and those present that cannot be opened"}},
     true,
     true},
    {kShow, "show", Arguments::kNone, {{"", "the six keys' assignments"}}, true, true},
    {kSet,
     "set",
     Arguments::kAssignments,
     {{"KEY ASSIGNMENT [KEY ASSIGNMENT...]",
       "change keys in one write: set 3 Ctrl+F5 1 \"Mouse Left+a\""},
      {"KEY [--vk N] [--modifiers N] [--mouse N] [KEY ...]",
       "change a key's raw fields (decimal or 0x hex)"}},
     true,
     true},
    {kDump,
     "dump",
     Arguments::kNone,
     {{"", "the raw 256-byte configuration block (hex, or into FILE)"}},
     true,
     true},
    {kRestore,
     "restore",
     Arguments::kFile,
     {{"FILE", "write a raw 256-byte block from FILE"}},
     true,
     true},
    {kSave,
     "save",
     Arguments::kFile,
     {{"PROFILE", "write the six keys into a profile (text) file"}},
     true,
     true},
    {kLoad, "load", Arguments::kFile, {{"PROFILE", "write the keys a profile names"}}, true, true},
    {kDescriptor,
     "descriptor",
     Arguments::kFile,
     {{"FILE", "explain a HID report descriptor"}},
     false,
     true},
    {kKeys,
     "keys",
     Arguments::kNone,
     {{"", "every key name set and load accept, with its usage"}},
     false,
     true},
    {kHelp,
     "help",
     Arguments::kHelpTopic,
     {{"[COMMAND]", "this text, or a command's (also: COMMAND --help)"}},
     false,
     true},
    {kVersion, "version", Arguments::kNone, {{"", "the version"}}, false, false},
}};

// In the order of the general help's option list; usage lines put a command's own options
// first.
const std::array<OptionSpec, 12> kOptions = {{
    {OptionId::kDevice,
     "--device",
     nullptr,
     Value::kSlot,
     "N",
     Scope::kKeypad,
     {},
     true,
     "use the keypad in slot N (see list); default 0",
     "use the keypad in slot N"},
    {OptionId::kWait,
     "--wait",
     nullptr,
     Value::kSeconds,
     "SECONDS",
     Scope::kKeypad,
     {},
     true,
     "wait at most SECONDS for another program to let go of the keypad; default 10, 0 does "
     "not wait",
     "wait at most this long for the keypad"},
    {OptionId::kSimulate,
     "--simulate",
     nullptr,
     Value::kFile,
     "FILE",
     Scope::kKeypad,
     {},
     true,
     "use a simulated keypad whose memory is FILE (created when missing; it must hold "
     "exactly 256 bytes)",
     "use a simulated keypad kept in FILE"},
    {OptionId::kVerify,
     "--verify",
     nullptr,
     Value::kNone,
     nullptr,
     Scope::kCommands,
     {kSet, kRestore, kLoad},
     true,
     "after writing, read the keypad back and compare all 256 bytes",
     "read back and compare"},
    {OptionId::kLayout,
     "--layout",
     nullptr,
     Value::kLayout,
     "NAME",
     Scope::kCommands,
     {kShow, kSet, kSave, kLoad, kKeys},
     true,
     "name keys as the keyboard layout NAME types them ({commands}): an XKB layout such as "
     "de, fr or us(dvorak) (not on Windows); without it keys have the names of their "
     "positions on a US keyboard",
     "name keys as this XKB layout types them"},
    {OptionId::kHelp,
     "--help",
     "-h",
     Value::kNone,
     nullptr,
     Scope::kProgram,
     {},
     true,
     "show help and stop",
     "show help and stop"},
    {OptionId::kVersion,
     "--version",
     nullptr,
     Value::kNone,
     nullptr,
     Scope::kProgram,
     {},
     true,
     "show the version and stop",
     "show the version and stop"},
    {OptionId::kJson,
     "--json",
     nullptr,
     Value::kNone,
     nullptr,
     Scope::kCommands,
     {kShow, kDescriptor, kKeys},
     false,
     "print JSON",
     "print JSON"},
    {OptionId::kOutput,
     "-o",
     "--output",
     Value::kFile,
     "FILE",
     Scope::kCommands,
     {kDump},
     false,
     "write the raw block into FILE",
     "write the raw block into FILE"},
    {OptionId::kVk,
     "--vk",
     nullptr,
     Value::kKeyField,
     "N",
     Scope::kCommands,
     {kSet},
     false,
     "the key's virtual key",
     "the key's virtual key"},
    {OptionId::kModifiers,
     "--modifiers",
     nullptr,
     Value::kKeyField,
     "N",
     Scope::kCommands,
     {kSet},
     false,
     "the key's modifier byte",
     "the key's modifier byte"},
    {OptionId::kMouse,
     "--mouse",
     nullptr,
     Value::kKeyField,
     "N",
     Scope::kCommands,
     {kSet},
     false,
     "the key's mouse button byte",
     "the key's mouse button byte"},
}};

const std::array<ExitSpec, 7> kExitStatuses = {{
    {kExitOk, "success"},
    {kExitBadFile, "a file cannot be read or written, or its content is not valid"},
    {kExitUsage,
     "usage error: unknown command or option, bad key number, number or assignment text"},
    {kExitNoKeypad, "no keypad found, or none in the slot asked for"},
    {kExitPermission,
     "a keypad is present but this user may not open it (install the udev rule: see list "
     "--help)"},
    {kExitTransfer, "reading from or writing to the keypad failed"},
    {kExitVerify, "--verify found other bytes on the keypad than were written"},
}};

}  // namespace

std::span<const CommandSpec> Commands() {
    return kCommands;
}

std::span<const OptionSpec> Options() {
    return kOptions;
}

std::span<const ExitSpec> ExitStatuses() {
    return kExitStatuses;
}

const CommandSpec* FindCommand(Command command) {
    for (const CommandSpec& spec : kCommands) {
        if (spec.command == command)
            return &spec;
    }
    return nullptr;
}

const CommandSpec* FindCommand(const std::string& name) {
    for (const CommandSpec& spec : kCommands) {
        if (name == spec.name)
            return &spec;
    }
    return nullptr;
}

const OptionSpec* FindOption(const std::string& name) {
    for (const OptionSpec& option : kOptions) {
        if (name == option.name || (option.alias && name == option.alias))
            return &option;
    }
    return nullptr;
}

bool Takes(const OptionSpec& option, Command command) {
    if (option.scope != Scope::kCommands)
        return true;
    return std::find(option.commands.begin(), option.commands.end(), command) !=
           option.commands.end();
}

std::vector<const OptionSpec*> UsageOptions(const CommandSpec& command, bool full) {
    auto named = [&](const OptionSpec& option) {
        for (const CommandForm& form : command.forms) {
            const std::string arguments = form.arguments;
            if (arguments.find(std::string(option.name) + " ") != std::string::npos)
                return true;
        }
        return false;
    };
    std::vector<const OptionSpec*> shown;
    for (const bool general : {false, true}) {
        if (general && !full)
            break;
        for (const OptionSpec& option : kOptions) {
            if (option.scope == Scope::kCommands && option.general == general &&
                Takes(option, command.command) && !named(option))
                shown.push_back(&option);
        }
    }
    if (full && command.usesKeypad) {
        for (const OptionSpec& option : kOptions) {
            if (option.scope == Scope::kKeypad)
                shown.push_back(&option);
        }
    }
    return shown;
}

std::string OptionUsage(const OptionSpec& option) {
    std::string text = option.name;
    if (option.valueName)
        text += std::string(" ") + option.valueName;
    return text;
}

std::string OptionSpellings(const OptionSpec& option) {
    std::string text = option.name;
    if (option.alias)
        text += std::string(" (") + option.alias + ")";
    return text;
}

std::string CommandNames(const OptionSpec& option) {
    std::string text;
    for (const Command command : option.commands) {
        if (!text.empty())
            text += ", ";
        text += FindCommand(command)->name;
    }
    return text;
}

std::string Description(const OptionSpec& option) {
    std::string text = option.description;
    const std::string placeholder = "{commands}";
    if (const std::size_t at = text.find(placeholder); at != std::string::npos)
        text.replace(at, placeholder.size(), CommandNames(option));
    return text;
}

std::string ListedCommandNames(const char* separator) {
    std::string text;
    for (const CommandSpec& command : kCommands) {
        if (!command.listed)
            continue;
        if (!text.empty())
            text += separator;
        text += command.name;
    }
    return text;
}

}  // namespace quillpad::ctl
