#include "doc_templates.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <sstream>
#include <vector>

#include "assignment_text.h"
#include "grammar.h"
#include "help_text.h"

namespace quillpad::ctl {
namespace {

using Lines = std::vector<std::string>;

std::string Join(const std::vector<std::string>& items, const std::string& separator) {
    std::string text;
    for (const std::string& item : items) {
        if (!text.empty())
            text += separator;
        text += item;
    }
    return text;
}

std::vector<std::string> Spellings(const OptionSpec& option) {
    std::vector<std::string> spellings{option.name};
    if (option.alias)
        spellings.push_back(option.alias);
    return spellings;
}

// The spellings of every option for which wanted holds.
template <typename Wanted>
std::vector<std::string> OptionSpellingsWhere(Wanted wanted) {
    std::vector<std::string> items;
    for (const OptionSpec& option : Options()) {
        if (wanted(option)) {
            for (const std::string& spelling : Spellings(option))
                items.push_back(spelling);
        }
    }
    return items;
}

std::vector<std::string> CommandsWhere(bool (*wanted)(const CommandSpec&)) {
    std::vector<std::string> items;
    for (const CommandSpec& command : Commands()) {
        if (command.listed && wanted(command))
            items.push_back(command.name);
    }
    return items;
}

bool List(const std::string& name, std::vector<std::string>& items) {
    if (name == "commands") {
        items = CommandsWhere([](const CommandSpec&) { return true; });
    } else if (name == "file-commands") {
        items = CommandsWhere([](const CommandSpec& c) { return c.arguments == Arguments::kFile; });
    } else if (name == "assignment-commands") {
        items = CommandsWhere(
            [](const CommandSpec& c) { return c.arguments == Arguments::kAssignments; });
    } else if (name == "topic-commands") {
        items = CommandsWhere(
            [](const CommandSpec& c) { return c.arguments == Arguments::kHelpTopic; });
    } else if (name == "value-options") {
        items = OptionSpellingsWhere([](const OptionSpec& o) { return o.value != Value::kNone; });
    } else if (name == "plain-value-options") {
        items = OptionSpellingsWhere([](const OptionSpec& o) {
            return o.value != Value::kNone && o.value != Value::kKeyField;
        });
    } else if (name == "field-options") {
        items =
            OptionSpellingsWhere([](const OptionSpec& o) { return o.value == Value::kKeyField; });
    } else if (name == "file-options") {
        items = OptionSpellingsWhere([](const OptionSpec& o) { return o.value == Value::kFile; });
    } else if (name == "layout-options") {
        items = OptionSpellingsWhere([](const OptionSpec& o) { return o.value == Value::kLayout; });
    } else if (name == "number-options") {
        items = OptionSpellingsWhere([](const OptionSpec& o) {
            return o.value == Value::kSlot || o.value == Value::kSeconds ||
                   o.value == Value::kKeyField;
        });
    } else if (name == "assignment-words") {
        for (const std::string& word : ModifierAndMouseNames())
            items.push_back(word.find(' ') == std::string::npos ? word : "'" + word + "'");
    } else {
        return false;
    }
    return true;
}

// The options a completion offers: after command, those it takes; before one (nullptr), those
// the general help lists and those every command takes.
std::vector<std::string> Offered(const CommandSpec* command) {
    return OptionSpellingsWhere([command](const OptionSpec& o) {
        return command ? Takes(o, command->command) : o.general || o.scope != Scope::kCommands;
    });
}

// A summary for the completions: without an example after ": " ("change keys in one write").
std::string ShortSummary(const CommandSpec& command) {
    const std::string summary = command.forms.front().summary;
    const std::string head = summary.substr(0, summary.find(": "));
    return head.find('(') == std::string::npos ? head : summary;
}

// text inside single quotes for bash, zsh and fish alike: ' closes, \' is added, ' reopens.
std::string InQuotes(const std::string& text, const char* quoteEscape) {
    std::string quoted = "'";
    for (const char c : text) {
        if (c == '\'')
            quoted += quoteEscape;
        else
            quoted += c;
    }
    return quoted + "'";
}

Lines BashOptions() {
    Lines lines{"case $command in"};
    for (const CommandSpec& command : Commands()) {
        if (command.listed) {
            lines.push_back("    " + std::string(command.name) + ") options=\"" +
                            Join(Offered(&command), " ") + "\" ;;");
        }
    }
    lines.push_back("    *) options=\"" + Join(Offered(nullptr), " ") + "\" ;;");
    lines.push_back("esac");
    return lines;
}

std::string ZshSpec(const OptionSpec& option) {
    std::string exclusion;
    std::string names = option.name;
    if (option.scope == Scope::kProgram)
        exclusion = "'(- *)'";
    else if (option.alias)
        exclusion = "'(" + std::string(option.name) + " " + option.alias + ")'";
    if (option.alias)
        names = "{" + std::string(option.name) + "," + option.alias + "}";
    std::string spec = "[" + std::string(option.brief) + "]";
    switch (option.value) {
        case Value::kNone:
            break;
        case Value::kSlot:
            spec += ":slot number: ";
            break;
        case Value::kSeconds:
            spec += ":seconds: ";
            break;
        case Value::kFile:
            spec += ":file:_files";
            break;
        case Value::kLayout:
            spec += ":layout:_quillpadctl_layouts";
            break;
        case Value::kKeyField:
            spec += ":number (decimal or 0x hex): ";
            break;
    }
    const std::string repeat = option.value == Value::kKeyField ? "*" : "";
    if (option.alias)
        return exclusion + names + InQuotes(repeat + spec, "'\\''");
    return exclusion + InQuotes(repeat + names + spec, "'\\''");
}

Lines ZshOptions() {
    Lines lines{"case $command in"};
    auto add = [&](const std::string& pattern, const CommandSpec* command) {
        lines.push_back("  " + pattern + ") options=(");
        for (const OptionSpec& option : Options()) {
            const bool offered = command ? Takes(option, command->command)
                                         : option.general || option.scope != Scope::kCommands;
            if (offered)
                lines.push_back("    " + ZshSpec(option));
        }
        lines.push_back("  ) ;;");
    };
    for (const CommandSpec& command : Commands()) {
        if (command.listed)
            add(command.name, &command);
    }
    add("*", nullptr);
    lines.push_back("esac");
    return lines;
}

Lines ZshCommands() {
    Lines lines;
    for (const CommandSpec& command : Commands()) {
        if (command.listed)
            lines.push_back(
                InQuotes(std::string(command.name) + ":" + ShortSummary(command), "'\\''"));
    }
    return lines;
}

Lines FishCommands() {
    Lines lines;
    for (const CommandSpec& command : Commands()) {
        if (command.listed) {
            lines.push_back("complete -c quillpadctl -n \"not __quillpadctl_command\" -a " +
                            std::string(command.name) + " -d " +
                            InQuotes(ShortSummary(command), "\\'"));
        }
    }
    return lines;
}

Lines FishOptions() {
    Lines lines;
    for (const OptionSpec& option : Options()) {
        std::string line = "complete -c quillpadctl";
        if (option.scope == Scope::kCommands) {
            std::vector<std::string> names;
            for (const Command command : option.commands)
                names.push_back(FindCommand(command)->name);
            const std::string seen = "__fish_seen_subcommand_from " + Join(names, " ");
            line +=
                " -n \"" + (option.general ? "not __quillpadctl_command; or " + seen : seen) + "\"";
        }
        for (const std::string& spelling : Spellings(option)) {
            line += spelling.starts_with("--") ? " -l " + spelling.substr(2)
                                               : " -s " + spelling.substr(1);
        }
        switch (option.value) {
            case Value::kNone:
                break;
            case Value::kFile:
                line += " -r -F";
                break;
            case Value::kLayout:
                line += " -x -a \"(__quillpadctl_layouts)\"";
                break;
            case Value::kSlot:
            case Value::kSeconds:
            case Value::kKeyField:
                line += " -x";
                break;
        }
        lines.push_back(line + " -d " + InQuotes(option.brief, "\\'"));
    }
    return lines;
}

// A usage as scdoc shows it: the command and options bold, the values underlined.
std::string ScdocUsage(const std::string& usage) {
    std::istringstream words(usage);
    std::string word;
    std::vector<std::string> shown;
    while (words >> word) {
        std::size_t begin = word.find_first_not_of('[');
        std::size_t end = word.find_first_of("].", begin);
        if (begin == std::string::npos)
            begin = end = word.size();
        if (end == std::string::npos)
            end = word.size();
        const std::string core = word.substr(begin, end - begin);
        std::string marked = core;
        if (!core.empty())
            marked = core.starts_with("-") || shown.empty() ? "*" + core + "*" : "_" + core + "_";
        shown.push_back(word.substr(0, begin) + marked + word.substr(end));
    }
    return Join(shown, " ");
}

std::string ScdocText(std::string text) {
    text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    std::istringstream words(text + ".");
    std::string word;
    std::vector<std::string> shown;
    while (words >> word) {
        if (word.starts_with("--")) {
            const std::size_t end = word.find_first_not_of("-abcdefghijklmnopqrstuvwxyz");
            const std::string rest = end == word.npos ? std::string() : word.substr(end);
            word.resize(std::min(end, word.size()));
            word.insert(0, 1, '*');
            word += '*';
            word += rest;
        }
        shown.push_back(word);
    }
    return Join(shown, " ");
}

class Expander {
  public:
    bool Block(const std::string& marker, Lines& lines, std::string& error) {
        std::istringstream words(marker);
        std::string name;
        std::string argument;
        std::string form;
        words >> name >> argument >> form;
        if (name == "bash-options") {
            lines = BashOptions();
        } else if (name == "zsh-options") {
            lines = ZshOptions();
        } else if (name == "zsh-commands") {
            lines = ZshCommands();
        } else if (name == "fish-commands") {
            lines = FishCommands();
        } else if (name == "fish-options") {
            lines = FishOptions();
        } else if (name == "synopsis") {
            for (const CommandSpec& command : Commands()) {
                if (!command.listed)
                    continue;
                for (const std::string& usage : FormUsages(command, true))
                    lines.push_back("*quillpadctl* " + ScdocUsage(usage) + "++");
            }
            lines.back().resize(lines.back().size() - 2);
        } else if (name == "exit-status") {
            for (const ExitSpec& status : ExitStatuses()) {
                if (!lines.empty())
                    lines.push_back("");
                lines.push_back("*" + std::to_string(status.code) + "*");
                lines.push_back("\t" + ScdocText(status.meaning));
            }
        } else if (name == "command") {
            const CommandSpec* command = FindCommand(argument);
            const std::size_t index = form.empty() ? 1 : std::stoul("0" + form);
            if (!command || !command->listed || index < 1 || index > command->forms.size()) {
                error = "no such command form: " + marker;
                return false;
            }
            if (!commandHeadings_.insert({command->name, index}).second) {
                error = "a second heading for " + argument + " " + std::to_string(index);
                return false;
            }
            lines.push_back(ScdocUsage(FormUsages(*command, false)[index - 1]));
        } else if (name == "option") {
            const OptionSpec* option = FindOption(argument);
            if (!option) {
                error = "no such option: " + marker;
                return false;
            }
            if (!optionHeadings_.insert(option->name).second) {
                error = "a second heading for " + argument;
                return false;
            }
            std::vector<std::string> spellings = Spellings(*option);
            std::sort(
                spellings.begin(), spellings.end(),
                [](const std::string& a, const std::string& b) { return a.size() < b.size(); });
            for (std::string& spelling : spellings)
                spelling = "*" + spelling + "*";
            std::string heading = Join(spellings, ", ");
            if (option->valueName)
                heading += " _" + std::string(option->valueName) + "_";
            lines.push_back(heading);
        } else {
            error = "unknown marker @{" + marker + "}@";
            return false;
        }
        return true;
    }

    // Every command form and every option the general help lists has its heading, when the
    // template has headings of that kind at all.
    bool Complete(std::string& error) const {
        for (const CommandSpec& command : Commands()) {
            for (std::size_t i = 1;
                 command.listed && !commandHeadings_.empty() && i <= command.forms.size(); ++i) {
                if (!commandHeadings_.contains({command.name, i})) {
                    error = "no heading for the command " + std::string(command.name) + " " +
                            std::to_string(i);
                    return false;
                }
            }
        }
        for (const OptionSpec& option : Options()) {
            if (option.general && !optionHeadings_.empty() &&
                !optionHeadings_.contains(option.name)) {
                error = "no heading for the option " + std::string(option.name);
                return false;
            }
        }
        return true;
    }

  private:
    std::set<std::pair<std::string, std::size_t>> commandHeadings_;
    std::set<std::string> optionHeadings_;
};

// Replaces the list markers in line.
bool ExpandLists(std::string& line, std::string& error) {
    for (std::size_t start = line.find("@{"); start != std::string::npos;
         start = line.find("@{", start)) {
        const std::size_t end = line.find("}@", start + 2);
        const std::size_t colon = line.find(':', start);
        if (end == std::string::npos || colon == std::string::npos || colon > end) {
            error = "not a list marker: " + line;
            return false;
        }
        std::vector<std::string> items;
        if (!List(line.substr(start + 2, colon - start - 2), items)) {
            error = "unknown list in " + line;
            return false;
        }
        const std::string joined = Join(items, line.substr(colon + 1, end - colon - 1));
        line.replace(start, end + 2 - start, joined);
        start += joined.size();
    }
    return true;
}

}  // namespace

bool ExpandDocTemplate(const std::string& text, std::string& out, std::string& error) {
    Expander expander;
    std::istringstream lines(text);
    std::string line;
    std::size_t number = 0;
    out.clear();
    while (std::getline(lines, line)) {
        ++number;
        const std::size_t first = line.find_first_not_of(" \t");
        const bool block = first != std::string::npos && line.compare(first, 2, "@{") == 0 &&
                           line.ends_with("}@") && line.size() >= first + 4 &&
                           line.find(':', first) == std::string::npos;
        if (block) {
            Lines expanded;
            if (!expander.Block(line.substr(first + 2, line.size() - first - 4), expanded, error)) {
                error = "line " + std::to_string(number) + ": " + error;
                return false;
            }
            for (const std::string& item : expanded)
                out += (item.empty() ? "" : line.substr(0, first) + item) + "\n";
            continue;
        }
        if (!ExpandLists(line, error)) {
            error = "line " + std::to_string(number) + ": " + error;
            return false;
        }
        out += line + "\n";
    }
    return expander.Complete(error);
}

}  // namespace quillpad::ctl
