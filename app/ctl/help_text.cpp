#include "help_text.h"

#include "assignment_text.h"
#include "keypad_refresh.h"

#ifndef QUILLPAD_VERSION
#error "QUILLPAD_VERSION must be defined by the build"
#endif

namespace quillpad::ctl {
namespace {

constexpr const char* kGeneralHead = R"(Usage: quillpadctl [OPTIONS] COMMAND [ARGUMENTS]

Reads and changes the six keys of a Quillpad USB keypad.
)";

constexpr const char* kList =
    R"(Lists the keypads found: their slot (for --device), device path and the device they belong
to. Keypads that are present but cannot be opened are listed with the reason.

A keypad that cannot be opened for lack of permission needs the udev rule that gives the
user logged in at the machine's seat access to this keypad and to no other device:

  # /etc/udev/rules.d/70-quillpad.rules
  SUBSYSTEM=="hidraw", ATTRS{idVendor}=="1130", ATTRS{idProduct}=="660c", TAG+="uaccess"

Install it, reload the rules and plug the keypad in again:

  sudo cp 70-quillpad.rules /etc/udev/rules.d/
  sudo udevadm control --reload-rules && sudo udevadm trigger

The Debian package installs the rule itself (/usr/lib/udev/rules.d/70-quillpad.rules).
Exit status 3 when no keypad can be used, 4 when the only ones present cannot be opened
for lack of permission.
)";

constexpr const char* kShow =
    R"(Reads the keypad and prints its six keys, key 1 to 6: the assignment text, which set and
load accept as it is, and the raw fields vk (virtual key), modifiers and mouse in hex.
Where the configuration window shows a different text (see set --help) it is added.
With --layout NAME, keys are named as that keyboard layout types them (see set --help).

With --json, prints an array of objects with key, vk, modifiers, mouse (numbers), text
(the window's text), canonical (the assignment text) and usage (the HID usage the key is
stored with).
)";

constexpr const char* kSetHead =
    R"(Reads the keypad, changes the keys named (1 to 6), and writes all six back in one write.
Quote an assignment that holds blanks. Raw fields take decimal or 0x hex numbers from 0 to
255; fields not given keep their value, and a vk the keypad cannot store is refused.
With --verify the keypad is read back and compared.

Examples:
  quillpadctl set 3 Ctrl+F5
  quillpadctl set 1 "Mouse Left+a" 2 Null 6 Shift+Alt+Esc
  quillpadctl set 4 --vk 0x74 --modifiers 1 --mouse 0

Assignment text: names joined by "+", in any order and any case, blanks around them
ignored; modifiers and mouse buttons first, then at most one key, last:
  Shift, Alt, Ctrl, Windows (or Win)                     the modifiers
  Right Ctrl, Right Shift, Right Alt, Right Windows      the modifier byte's bits 0x10 to
                                                         0x80, which the window never sets
  Mouse Left, Mouse Middle, Mouse Right                  the mouse buttons
  Mouse 4 to Mouse 8                                     the button byte's bits 0x08 to 0x80
  a key by its name on a US layout (see below): a to z, 0 to 9, F1 to F12, Esc, PageUp,
  ";", "Keypad *", Application, ...; with Shift also its shifted character (Shift+! is
  Shift+1, Shift+A is Shift+a); Null for no key. "Null" alone clears the key.

The keypad stores the position of a key, and the computer it is plugged into decides what
that key types. Key names are therefore the names of the keys' positions on a US keyboard,
whatever this computer's layout, so that an assignment and a profile mean the same key on
every computer: y is the key right of t, which types z on a German keyboard. quillpadctl keys
lists every name. With --layout NAME (an XKB layout: de, fr, us(dvorak), ...) keys are named
by what that layout types on them instead, here and in show, save and load:
  quillpadctl --layout de set 1 z      the key German keyboards have z on (the US y key)
  quillpadctl --layout fr set 2 a      the key French keyboards have a on (the US q key)

The text show prints reads back to exactly the same key. It is the window's text except
where that one is ambiguous:
  Shift with "=":        Shift+=      (the window shows "Shift"; Shift++ is accepted too)
  the keypad plus key:   Keypad +     (the window shows "Keypad ")
  bits 0x10 and up:      named as above (the window does not show them)
)";

constexpr const char* kDump =
    R"(Reads the keypad's 256-byte configuration block and prints it in hex, 16 bytes a line
after the offset; with -o FILE, writes the raw 256 bytes into FILE instead (for restore;
- is standard output).
The block holds six 15-byte entries at offsets 0, 15, 30, 45, 60, 75 for keys 4, 3, 2, 1,
6, 5: kind, modifiers, 0, key usage, 0, 0, 0, mouse, then zeros; byte 90 is FC.
)";

constexpr const char* kRestore =
    R"(Writes FILE, exactly 256 raw bytes (as dump -o writes them), to the keypad unchanged. A file
of any other size is refused before the keypad is touched.
)";

constexpr const char* kSave =
    R"(Reads the keypad and writes its six keys into PROFILE, one line a key:

  # comment lines start with "#"
  key1 = Ctrl+F5
  key2 = Mouse Left+a

The assignments are the texts set accepts (see set --help), with the keys' US names, so that
the profile means the same keys on every computer; with --layout NAME, with that layout's
names, and the profile then loads only with the same --layout.
)";

constexpr const char* kLoad =
    R"(Checks the whole of PROFILE (lines "keyN = ASSIGNMENT", comment lines starting with "#",
blank lines), then reads the keypad, changes the keys the profile names and writes all
six in one write. Keys the profile does not name keep their assignment. When any line is
wrong nothing is written, and the error names the line. A "#" after an assignment is not
a comment: it is the shifted 3. Key names are the US ones, or with --layout NAME that
layout's (see set --help). A profile that save --layout NAME wrote says so in its header and
is loaded only with the same --layout NAME.
)";

constexpr const char* kDescriptor = R"(Parses a raw HID report descriptor, such as
/sys/class/hidraw/hidrawN/device/report_descriptor, with the parser the Linux backend uses,
and prints each top-level application collection: its usage page and usage, the input,
output and feature report lengths in bytes as Windows computes them (with the report ID
byte), and whether it qualifies as the keypad's configuration interface (usage page 1,
usage 3). A malformed descriptor is an error naming the byte offset.

With --json, prints an array of objects with usage_page, usage, input_report_length,
output_report_length, feature_report_length and configuration_interface.
)";

constexpr const char* kKeys =
    R"(Lists every key name that set and load accept and show and save print, one a line: the
name, a tab, and the HID usage (keyboard page) the keypad stores for it, in hex, in the
order of the usages. Names may hold blanks ("Keypad *"). Modifiers, mouse buttons and
Null are not listed (see set --help). The names are those of the keys' positions on a US
keyboard, whatever the layout of this computer; with --layout NAME, what that layout types
on each key.

With --json, prints an array of objects with name and usage (a number).
)";

// Words joined by blanks, from column start on, broken before a word that would pass the
// width; later lines start with indent.
std::string Wrap(const std::vector<std::string>& words, std::size_t start, std::size_t indent) {
    constexpr std::size_t kWidth = 92;
    std::string text;
    std::size_t column = start;
    for (const std::string& word : words) {
        if (column > indent && column + 1 + word.size() > kWidth) {
            text += '\n' + std::string(indent, ' ');
            column = indent;
        } else if (!text.empty()) {
            text += ' ';
            ++column;
        }
        text += word;
        column += word.size();
    }
    return text;
}

// A column of items: each name padded to its width, then its description, wrapped under it.
// A description that does not fit beside its name starts on the next line.
std::string Column(const std::string& name, std::size_t width, const std::string& description) {
    const std::size_t indent = 2 + width + 2;
    std::string text = "  " + name;
    if (name.size() > width)
        text += '\n' + std::string(indent, ' ');
    else
        text += std::string(indent - text.size(), ' ');
    std::vector<std::string> words;
    std::size_t from = 0;
    while (from <= description.size()) {
        std::size_t blank = description.find(' ', from);
        if (blank == std::string::npos)
            blank = description.size();
        words.push_back(description.substr(from, blank - from));
        from = blank + 1;
    }
    return text + Wrap(words, indent, indent) + '\n';
}

std::string CommandLines() {
    std::string text = "Commands:\n";
    for (const CommandSpec& command : Commands()) {
        if (!command.listed)
            continue;
        const std::vector<std::string> forms = FormUsages(command, false);
        for (std::size_t i = 0; i < forms.size(); ++i)
            text += Column(forms[i], 24, command.forms[i].summary);
    }
    return text;
}

std::string OptionLines() {
    std::string text = "Options:\n";
    for (const OptionSpec& option : Options()) {
        if (option.general)
            text += Column(OptionNames(option), 15, Description(option));
    }
    return text;
}

std::string ExitStatusLines() {
    std::string text = "Exit status:\n";
    for (const ExitSpec& status : ExitStatuses())
        text += "  " + std::to_string(status.code) + "  " + status.meaning + "\n";
    return text;
}

std::string CommandProse(Command topic) {
    switch (topic) {
        case Command::kList:
            return kList;
        case Command::kShow:
            return kShow;
        case Command::kSet:
            return std::string(kSetHead) + "\nEvery accepted name: " + AcceptedAssignmentNames() +
                   "\n";
        case Command::kDump:
            return kDump;
        case Command::kRestore:
            return kRestore;
        case Command::kSave:
            return kSave;
        case Command::kLoad:
            return kLoad;
        case Command::kDescriptor:
            return kDescriptor;
        case Command::kKeys:
            return kKeys;
        default:
            return "";
    }
}

}  // namespace

std::vector<std::string> FormUsages(const CommandSpec& command, bool full) {
    std::vector<std::string> forms;
    const std::vector<const OptionSpec*> options = UsageOptions(command, full);
    for (const CommandForm& form : command.forms) {
        std::string text = command.name;
        if (*form.arguments)
            text += std::string(" ") + form.arguments;
        for (const OptionSpec* option : options)
            text += " [" + OptionUsage(*option) + "]";
        forms.push_back(text);
    }
    return forms;
}

std::string OptionNames(const OptionSpec& option) {
    std::string text;
    if (option.alias)
        text = std::string(option.alias).starts_with("--")
                   ? std::string(option.name) + ", " + option.alias
                   : std::string(option.alias) + ", " + option.name;
    else
        text = option.name;
    if (option.valueName)
        text += std::string(" ") + option.valueName;
    return text;
}

std::string UsageLines(const CommandSpec& command) {
    std::string text;
    const char* lead = "Usage: quillpadctl ";
    for (const std::string& form : FormUsages(command, true)) {
        std::vector<std::string> words;
        // Break only between bracketed options, never inside one.
        std::size_t start = 0;
        while (start < form.size()) {
            std::size_t end = form.find(" [-", start);
            if (end == std::string::npos)
                end = form.size();
            words.push_back(form.substr(start, end - start));
            start = end + (end < form.size() ? 1 : 0);
        }
        const std::string head = lead;
        text += head +
                Wrap(words, head.size(), head.size() + std::string(command.name).size() + 1) + "\n";
        lead = "       quillpadctl ";
    }
    return text;
}

// How long a read takes: the keypad is given its time twice, as the window's Refresh does.
std::string ReadingTime() {
    const std::string ms = std::to_string(kRefreshSettleMs);
    const int tenths = (2 * kRefreshSettleMs + 50) / 100;
    return "\nReading takes about " + std::to_string(tenths / 10) + "." +
           std::to_string(tenths % 10) + " s: the keypad is given " + ms +
           " ms before it is looked for and " + ms +
           " ms\nbefore it is read, as the configuration window does.\n";
}

std::string HelpText(Command topic) {
    const CommandSpec* command = FindCommand(topic);
    if (command && command->listed && topic != Command::kHelp)
        return UsageLines(*command) + "\n" + CommandProse(topic);
    return std::string(kGeneralHead) + "\n" + CommandLines() + "\n" + OptionLines() +
           ReadingTime() + "\n" + ExitStatusLines();
}

std::string VersionText() {
    return std::string("quillpadctl ") + QUILLPAD_VERSION + "\n";
}

}  // namespace quillpad::ctl
