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

// A profile read with other names than its own would give other keys for the same letters (z
// and y swap between German and US names): it is read with its own naming only.
Status CheckProfileLayout(const CommandLine& c, std::string_view content) {
    const std::optional<std::string> noted = ProfileLayout(content);
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

// Key names are those of the keys' positions on a US keyboard unless --layout names a layout
// to name them after; names stays null then.
Status LoadNames(const CommandLine& c, std::shared_ptr<const KeyNameSet>& names) {
    if (!c.layout)
        return Ok();
    return LoadLayoutNames(*c.layout, names);
}

// Opens the keypad of the slot and claims it: other programs leave it alone until keypad goes.
// Everything about the arguments and files is checked before this, so that a mistake never
// touches the keypad. A command that writes a file opens and checks it here, once the
// simulated keypad's own file is known and before the claim, so that nothing that may fail or
// wait happens while other programs wait for the keypad.
Status ClaimKeypad(const CommandLine& c, KeypadAccess& keypad,
                   const std::string* outputPath = nullptr, OutputFile* output = nullptr) {
    if (Status s = keypad.Open(c.simulate); !s.ok())
        return s;
    if (outputPath) {
        if (Status s = OpenOutput(*outputPath, c.simulate, *output); !s.ok())
            return s;
    }
    return keypad.Claim(c.device, c.waitSeconds);
}

Status RunList(const CommandLine& c, std::string& out) {
    KeypadAccess keypad;
    if (Status s = keypad.Open(c.simulate); !s.ok())
        return s;
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

Status RunShow(const CommandLine& c, std::string& out) {
    std::shared_ptr<const KeyNameSet> names;
    if (Status s = LoadNames(c, names); !s.ok())
        return s;
    KeypadAccess keypad;
    if (Status s = ClaimKeypad(c, keypad); !s.ok())
        return s;
    KeyAssignments keys{};
    if (Status s = ReadKeys(keypad, c.device, keys); !s.ok())
        return s;
    out = c.json ? FormatKeysJson(keys, names.get()) : FormatKeysTable(keys, names.get());
    return Ok();
}

Status RunSet(const CommandLine& c, std::string&) {
    std::shared_ptr<const KeyNameSet> names;
    if (Status s = LoadNames(c, names); !s.ok())
        return s;
    if (Status s = CheckSetItems(c.items, names.get()); !s.ok())
        return s;
    KeypadAccess keypad;
    if (Status s = ClaimKeypad(c, keypad); !s.ok())
        return s;
    return ChangeKeys(keypad, c,
                      [&](KeyAssignments& keys) { ApplySetItems(c.items, names.get(), keys); });
}

Status RunDump(const CommandLine& c, std::string& out) {
    KeypadAccess keypad;
    OutputFile output;
    if (Status s = ClaimKeypad(c, keypad, c.output ? &*c.output : nullptr, &output); !s.ok())
        return s;
    ConfigBlock block{};
    if (Status s = keypad.Read(c.device, block); !s.ok())
        return s;
    keypad.ReleaseClaim();  // the file is written without holding up other programs
    if (!c.output) {
        out = FormatHexDump(block);
        return Ok();
    }
    return CommitOutput(
        *c.output, output,
        std::string_view(reinterpret_cast<const char*>(block.data()), block.size()));
}

Status RunRestore(const CommandLine& c, std::string&) {
    ConfigBlock block{};
    std::string content;
    if (Status s = ReadSmallFile(c.file, block.size(), content); !s.ok())
        return s;
    if (content.size() != block.size()) {
        return Fail(kExitBadFile, c.file + ": holds " + std::to_string(content.size()) +
                                      " bytes; a configuration block is exactly 256");
    }
    std::copy(content.begin(), content.end(), block.begin());
    KeypadAccess keypad;
    if (Status s = ClaimKeypad(c, keypad); !s.ok())
        return s;
    return keypad.WriteAndVerify(c.device, block, c.verify);
}

Status RunSave(const CommandLine& c, std::string&) {
    std::shared_ptr<const KeyNameSet> names;
    if (Status s = LoadNames(c, names); !s.ok())
        return s;
    KeypadAccess keypad;
    OutputFile output;
    if (Status s = ClaimKeypad(c, keypad, &c.file, &output); !s.ok())
        return s;
    KeyAssignments keys{};
    if (Status s = ReadKeys(keypad, c.device, keys); !s.ok())
        return s;
    keypad.ReleaseClaim();
    const std::string header =
        ProfileHeader(VersionText().substr(0, VersionText().size() - 1) +
                          " from the keypad in slot " + std::to_string(c.device),
                      c.layout);
    return CommitOutput(c.file, output, FormatProfile(keys, header, names.get()));
}

Status RunLoad(const CommandLine& c, std::string&) {
    std::shared_ptr<const KeyNameSet> names;
    if (Status s = LoadNames(c, names); !s.ok())
        return s;
    std::string content;
    if (Status s = ReadSmallFile(c.file, kMaxProfileBytes, content); !s.ok())
        return s;
    if (Status s = CheckProfileLayout(c, content); !s.ok())
        return s;
    const ProfileParse parsed = ParseProfile(content, names.get());
    if (!parsed.ok)
        return Fail(kExitBadFile, c.file + ": " + parsed.error);
    KeypadAccess keypad;
    if (Status s = ClaimKeypad(c, keypad); !s.ok())
        return s;
    return ChangeKeys(keypad, c, [&](KeyAssignments& keys) { ApplyProfile(parsed.keys, keys); });
}

Status RunKeys(const CommandLine& c, std::string& out) {
    std::shared_ptr<const KeyNameSet> names;
    if (Status s = LoadNames(c, names); !s.ok())
        return s;
    const std::vector<NamedKey> keys = AcceptedKeyNames(names.get());
    out = c.json ? FormatKeyNamesJson(keys) : FormatKeyNames(keys);
    return Ok();
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
        case Command::kList:
            return RunList(c, out);
        case Command::kShow:
            return RunShow(c, out);
        case Command::kSet:
            return RunSet(c, out);
        case Command::kDump:
            return RunDump(c, out);
        case Command::kRestore:
            return RunRestore(c, out);
        case Command::kSave:
            return RunSave(c, out);
        case Command::kLoad:
            return RunLoad(c, out);
        case Command::kDescriptor:
            return RunDescriptor(c.file, c.json, out);
        case Command::kKeys:
            return RunKeys(c, out);
    }
    return Fail(kExitUsage, "no command given; see quillpadctl --help");
}

}  // namespace quillpad::ctl
