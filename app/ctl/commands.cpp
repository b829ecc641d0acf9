#include "commands.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string_view>

#include "assignment_text.h"
#include "config_block.h"
#include "descriptor_report.h"
#include "file_io.h"
#include "help_text.h"
#include "key_codes.h"
#include "keypad_io.h"
#include "layout_names.h"
#include "output_format.h"
#include "profile.h"

namespace quillpad::ctl {
namespace {

// Profiles are small; a larger file is certainly not one.
constexpr std::size_t kMaxProfileBytes = 64 * 1024;

// A profile's header says how its keys are named, in one of these lines: after a layout
// (save --layout), or after the keys' positions on a US keyboard. A profile without such a line
// was saved before profiles said so, when only the US names existed.
constexpr std::string_view kLayoutNoteStart = "keys named as the ";
constexpr std::string_view kLayoutNoteEnd = " keyboard layout types them";
constexpr std::string_view kUsNote =
    "keys named by their positions on a US keyboard: load without --layout";

std::string NamingNote(const std::optional<std::string>& layout) {
    if (!layout)
        return std::string(kUsNote);
    std::string note(kLayoutNoteStart);
    note += *layout;
    note += kLayoutNoteEnd;
    note += ": load with --layout ";
    note += *layout;
    return note;
}

// The layout a profile's header says its keys are named after; nothing for the US positions,
// which a header without a naming line means too.
std::optional<std::string> NotedLayout(std::string_view content) {
    while (!content.empty()) {
        const std::size_t end = content.find('\n');
        std::string_view line = content.substr(0, end);
        content.remove_prefix(end == content.npos ? content.size() : end + 1);
        if (!line.starts_with("# "))
            continue;
        line.remove_prefix(2);
        if (line.starts_with(kUsNote))
            return std::nullopt;
        if (!line.starts_with(kLayoutNoteStart))
            continue;
        line.remove_prefix(kLayoutNoteStart.size());
        const std::size_t nameEnd = line.find(kLayoutNoteEnd);
        if (nameEnd != line.npos)
            return std::string(line.substr(0, nameEnd));
    }
    return std::nullopt;
}

// A profile read with other names than its own would give other keys for the same letters (z
// and y swap between German and US names): it is read with its own naming only.
Status CheckProfileLayout(const CommandLine& c, std::string_view content) {
    const std::optional<std::string> noted = NotedLayout(content);
    if (noted == c.layout)
        return Ok();
    if (!noted) {
        return Fail(kExitUsage, c.file +
                                    ": its keys are named by their positions on a US keyboard; "
                                    "load it without --layout");
    }
    const std::string layout = QuoteForMessage(*noted);
    return Fail(kExitUsage, c.file + ": its keys are named as the keyboard layout " + layout +
                                " types them; load it with --layout " + layout);
}

// Checks every key of a set command and gives the assignment text or fields they set, applied
// to keys read from the keypad.
Status CheckSetItems(const std::vector<SetItem>& items, const KeyNameSet* names) {
    for (const SetItem& item : items) {
        if (item.text) {
            const AssignmentParse parsed = ParseAssignmentText(*item.text, names);
            if (!parsed.ok)
                return Fail(kExitUsage, "key " + std::to_string(item.key) + ": " + parsed.error);
        }
        if (item.vk && *item.vk != 0 && VkToUsage(*item.vk) == 0) {
            return Fail(kExitUsage, "key " + std::to_string(item.key) + ": vk " +
                                        HexByte(*item.vk) +
                                        " has no key code the keypad can store");
        }
    }
    return Ok();
}

void ApplySetItems(const std::vector<SetItem>& items, const KeyNameSet* names,
                   KeyAssignments& keys) {
    for (const SetItem& item : items) {
        KeyAssignment& key = KeyByNumber(keys, item.key);
        if (item.text) {
            key = ParseAssignmentText(*item.text, names).assignment;
            continue;
        }
        if (item.vk)
            key.vk = *item.vk;
        if (item.modifiers)
            key.modifiers = *item.modifiers;
        if (item.mouse)
            key.mouse = *item.mouse;
    }
}

Status ReadKeys(KeypadAccess& keypad, int device, KeyAssignments& keys) {
    ConfigBlock block{};
    if (Status s = keypad.Read(device, block); !s.ok())
        return s;
    DecodeConfigBlock(block, keys);
    return Ok();
}

// Reads the keys, lets change alter them, and writes all six back.
template <typename Change>
Status ChangeKeys(KeypadAccess& keypad, const CommandLine& c, Change change) {
    KeyAssignments keys{};
    if (Status s = ReadKeys(keypad, c.device, keys); !s.ok())
        return s;
    change(keys);
    return keypad.WriteAndVerify(c.device, EncodeConfigBlock(keys), c.verify);
}

Status RunList(std::string& out) {
    const KeypadList found = ListKeypads();
    for (const DevSlotInfo& slot : found.slots) {
        out += "slot " + std::to_string(slot.index) + ": " + slot.path;
        if (slot.node != kNoDevNode)
            out += " (grouped by device node " + std::to_string(slot.node) + ")";
        out += '\n';
    }
    for (const DeviceProblem& problem : found.problems) {
        out += "not usable: " + DescribeProblem(problem) + '\n';
    }
    return found.slots.empty() ? NoKeypadStatus(found.problems) : Ok();
}

}  // namespace

Status RunCommand(const CommandLine& c, std::string& out) {
    switch (c.command) {
        case Command::kNone:
        case Command::kHelp:
            out = HelpText(c.helpTopic);
            return Ok();
        case Command::kVersion:
            out = VersionText();
            return Ok();
        case Command::kDescriptor:
            return RunDescriptor(c.file, c.json, out);
        default:
            break;
    }

    // Key names are those of the keys' positions on a US keyboard unless --layout names a
    // layout to name them after.
    std::shared_ptr<const KeyNameSet> layoutNames;
    if (c.layout) {
        if (Status s = LoadLayoutNames(*c.layout, layoutNames); !s.ok())
            return s;
    }
    const KeyNameSet* names = layoutNames.get();
    if (c.command == Command::kKeys) {
        const std::vector<NamedKey> keys = AcceptedKeyNames(names);
        out = c.json ? FormatKeyNamesJson(keys) : FormatKeyNames(keys);
        return Ok();
    }

    // Everything about the arguments and files is checked before the keypad is touched.
    ConfigBlock restoreBlock{};
    ProfileKeys profile;
    if (c.command == Command::kSet) {
        if (Status s = CheckSetItems(c.items, names); !s.ok())
            return s;
    } else if (c.command == Command::kRestore) {
        std::string content;
        if (Status s = ReadSmallFile(c.file, restoreBlock.size(), content); !s.ok())
            return s;
        if (content.size() != restoreBlock.size()) {
            return Fail(kExitBadFile, c.file + ": holds " + std::to_string(content.size()) +
                                          " bytes; a configuration block is exactly 256");
        }
        std::copy(content.begin(), content.end(), restoreBlock.begin());
    } else if (c.command == Command::kLoad) {
        std::string content;
        if (Status s = ReadSmallFile(c.file, kMaxProfileBytes, content); !s.ok())
            return s;
        if (Status s = CheckProfileLayout(c, content); !s.ok())
            return s;
        const ProfileParse parsed = ParseProfile(content, names);
        if (!parsed.ok)
            return Fail(kExitBadFile, c.file + ": " + parsed.error);
        profile = parsed.keys;
    }

    KeypadAccess keypad;
    if (Status s = keypad.Open(c.simulate); !s.ok())
        return s;
    // Every command but list works on one keypad, which other programs leave alone meanwhile.
    if (c.command != Command::kList) {
        if (Status s = keypad.Claim(c.device); !s.ok())
            return s;
    }

    switch (c.command) {
        case Command::kList:
            return RunList(out);
        case Command::kShow: {
            KeyAssignments keys{};
            if (Status s = ReadKeys(keypad, c.device, keys); !s.ok())
                return s;
            out = c.json ? FormatKeysJson(keys, names) : FormatKeysTable(keys, names);
            return Ok();
        }
        case Command::kSet:
            return ChangeKeys(keypad, c,
                              [&](KeyAssignments& keys) { ApplySetItems(c.items, names, keys); });
        case Command::kLoad:
            return ChangeKeys(keypad, c,
                              [&](KeyAssignments& keys) { ApplyProfile(profile, keys); });
        case Command::kRestore:
            return keypad.WriteAndVerify(c.device, restoreBlock, c.verify);
        case Command::kDump: {
            ConfigBlock block{};
            if (Status s = keypad.Read(c.device, block); !s.ok())
                return s;
            if (!c.output) {
                out = FormatHexDump(block);
                return Ok();
            }
            return WriteWholeFile(
                *c.output,
                std::string_view(reinterpret_cast<const char*>(block.data()), block.size()));
        }
        case Command::kSave: {
            KeyAssignments keys{};
            if (Status s = ReadKeys(keypad, c.device, keys); !s.ok())
                return s;
            std::string header =
                "Quillpad profile: keyN = assignment (quillpadctl help set)\n"
                "saved by " +
                VersionText().substr(0, VersionText().size() - 1) + " from the keypad in slot " +
                std::to_string(c.device);
            header += '\n' + NamingNote(c.layout);
            return WriteWholeFile(c.file, FormatProfile(keys, header, names));
        }
        default:
            return Fail(kExitUsage, "no command given; see quillpadctl --help");
    }
}

}  // namespace quillpad::ctl
