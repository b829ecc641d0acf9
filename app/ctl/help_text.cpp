#include "help_text.h"

#include "assignment_text.h"

#ifndef QUILLPAD_VERSION
#error "QUILLPAD_VERSION must be defined by the build"
#endif

namespace quillpad::ctl {
namespace {

constexpr const char* kGeneral = R"(Usage: quillpadctl [OPTIONS] COMMAND [ARGUMENTS]

Reads and changes the six keys of a Quillpad USB keypad.

Commands:
  list                      the keypads found, and those present that cannot be opened
  show [--json]             the six keys' assignments
  set KEY ASSIGNMENT...     change keys in one write: set 3 Ctrl+F5 1 "Mouse Left+a"
  set KEY --vk N --modifiers N --mouse N
                            change a key's raw fields (decimal or 0x hex)
  dump [-o FILE]            the raw 256-byte configuration block (hex, or into FILE)
  restore FILE              write a raw 256-byte block from FILE
  save PROFILE              write the six keys into a profile (text) file
  load PROFILE              write the keys a profile names
  descriptor FILE [--json]  explain a HID report descriptor
  keys [--json]             every key name set and load accept, with its usage
  help [COMMAND]            this text, or a command's (also: COMMAND --help)

Options:
  --device N       use the keypad in slot N (see list); default 0
  --simulate FILE  use a simulated keypad whose memory is FILE (created when missing; it
                   must hold exactly 256 bytes)
  --verify         after writing, read the keypad back and compare all 256 bytes
  --layout NAME    name keys as the keyboard layout NAME types them (show, set, save, load,
                   keys): an XKB layout such as de, fr or us(dvorak) (not on Windows); without
                   it keys have the names of their positions on a US keyboard
  -h, --help       show help and stop
  --version        show the version and stop

Reading takes about 0.2 s: the keypad is given 100 ms before it is looked for and 100 ms
before it is read, as the configuration window does.

Exit status:
  0  success
  1  a file cannot be read or written, or its content is not valid
  2  usage error: unknown command or option, bad key number, number or assignment text
  3  no keypad found, or none in the slot asked for
  4  a keypad is present but this user may not open it (install the udev rule: see list --help)
  5  reading from or writing to the keypad failed
  6  --verify found other bytes on the keypad than were written
)";

constexpr const char* kList = R"(Usage: quillpadctl list

Lists the keypads found: their slot (for --device), device path and the device they belong
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

constexpr const char* kShow = R"(Usage: quillpadctl show [--json] [--layout NAME] [--device N]

Reads the keypad and prints its six keys, key 1 to 6: the assignment text, which set and
load accept as it is, and the raw fields vk (virtual key), modifiers and mouse in hex.
Where the configuration window shows a different text (see set --help) it is added.
With --layout NAME, keys are named as that keyboard layout types them (see set --help).

With --json, prints an array of objects with key, vk, modifiers, mouse (numbers), text
(the window's text), canonical (the assignment text) and usage (the HID usage the key is
stored with).
)";

constexpr const char* kSetHead =
    R"(Usage: quillpadctl set KEY ASSIGNMENT [KEY ASSIGNMENT...] [--layout NAME]
       quillpadctl set KEY [--vk N] [--modifiers N] [--mouse N] [KEY ...]

Reads the keypad, changes the keys named (1 to 6), and writes all six back in one write.
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
  Shift with "=":        Shift+=      (the window shows "Shift++", which is accepted too)
  bits 0x10 and up:      named as above (the window does not show them)
)";

constexpr const char* kDump = R"(Usage: quillpadctl dump [-o FILE] [--device N]

Reads the keypad's 256-byte configuration block and prints it in hex, 16 bytes a line
after the offset; with -o FILE, writes the raw 256 bytes into FILE instead (for restore).
The block holds six 15-byte entries at offsets 0, 15, 30, 45, 60, 75 for keys 4, 3, 2, 1,
6, 5: kind, modifiers, 0, key usage, 0, 0, 0, mouse, then zeros; byte 90 is FC.
)";

constexpr const char* kRestore = R"(Usage: quillpadctl restore FILE [--verify] [--device N]

Writes FILE, exactly 256 raw bytes (as dump -o writes them), to the keypad unchanged. A file
of any other size is refused before the keypad is touched.
)";

constexpr const char* kSave = R"(Usage: quillpadctl save PROFILE [--layout NAME] [--device N]

Reads the keypad and writes its six keys into PROFILE, one line a key:

  # comment lines start with "#"
  key1 = Ctrl+F5
  key2 = Mouse Left+a

The assignments are the texts set accepts (see set --help), with the keys' US names, so that
the profile means the same keys on every computer; with --layout NAME, with that layout's
names, and the profile then loads only with the same --layout.
)";

constexpr const char* kLoad =
    R"(Usage: quillpadctl load PROFILE [--verify] [--layout NAME] [--device N]

Checks the whole of PROFILE (lines "keyN = ASSIGNMENT", comment lines starting with "#",
blank lines), then reads the keypad, changes the keys the profile names and writes all
six in one write. Keys the profile does not name keep their assignment. When any line is
wrong nothing is written, and the error names the line. A "#" after an assignment is not
a comment: it is the shifted 3. Key names are the US ones, or with --layout NAME that
layout's (see set --help). A profile's header says how save named its keys, and it is loaded
only the same way: with the same --layout NAME, or without --layout when it names the keys'
positions on a US keyboard (as does a profile whose header does not say).
)";

constexpr const char* kDescriptor = R"(Usage: quillpadctl descriptor FILE [--json]

Parses a raw HID report descriptor, such as
/sys/class/hidraw/hidrawN/device/report_descriptor, with the parser the Linux backend uses,
and prints each top-level application collection: its usage page and usage, the input,
output and feature report lengths in bytes as Windows computes them (with the report ID
byte), and whether it qualifies as the keypad's configuration interface (usage page 1,
usage 3). A malformed descriptor is an error naming the byte offset.

With --json, prints an array of objects with usage_page, usage, input_report_length,
output_report_length, feature_report_length and configuration_interface.
)";

constexpr const char* kKeys = R"(Usage: quillpadctl keys [--json] [--layout NAME]

Lists every key name that set and load accept and show and save print, one a line: the
name, a tab, and the HID usage (keyboard page) the keypad stores for it, in hex, in the
order of the usages. Names may hold blanks ("Keypad *"). Modifiers, mouse buttons and
Null are not listed (see set --help). The names are those of the keys' positions on a US
keyboard, whatever the layout of this computer; with --layout NAME, what that layout types
on each key.

With --json, prints an array of objects with name and usage (a number).
)";

}  // namespace

std::string HelpText(Command topic) {
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
            return kGeneral;
    }
}

std::string VersionText() {
    return std::string("quillpadctl ") + QUILLPAD_VERSION + "\n";
}

}  // namespace quillpad::ctl
