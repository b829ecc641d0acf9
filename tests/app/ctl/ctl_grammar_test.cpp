// The prose about quillpadctl that is written by hand (its help texts, the manual page, the
// README) against the grammar table: every option it names exists and belongs to the command it
// is named with, an option's page names the commands that take it, every example command line
// parses, and the exit statuses are the table's.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "command_line.h"
#include "grammar.h"
#include "help_text.h"
#include "temp_files.h"

namespace quillpad::ctl {
namespace {

using quillpad::testing::ReadFile;

// Words as a shell splits them: blanks separate, double quotes group, "[" "]" and the markup
// of the manual page (* and _) are dropped.
std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::string word;
    bool quoted = false;
    bool any = false;
    for (const char c : text) {
        if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if (!quoted && (c == ' ' || c == '\t')) {
            if (any)
                words.push_back(word);
            word.clear();
            any = false;
        } else if (quoted || (c != '[' && c != ']' && c != '*' && c != '`')) {
            word += c;
            any = true;
        }
    }
    if (any)
        words.push_back(word);
    return words;
}

// Checks every option prose names: it exists, and the command it stands after (as in "dump -o"),
// or else the command the prose is about, takes it. Options standing alone in the general text
// (command kNone) need only exist.
void CheckOptionsNamed(const std::string& where, const std::string& prose, Command about) {
    const std::regex option(R"((^|[\s(*`"])(--?[a-z][a-z-]*)\b)");
    std::istringstream lines(prose);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.find("sudo ") != std::string::npos)
            continue;  // another program's command line
        for (auto it = std::sregex_iterator(line.begin(), line.end(), option);
             it != std::sregex_iterator(); ++it) {
            const std::string name = (*it)[2];
            const OptionSpec* spec = FindOption(name);
            ASSERT_NE(spec, nullptr) << where << " names " << name << ": " << line;
            const std::vector<std::string> before =
                Words(line.substr(0, static_cast<std::size_t>(it->position(2))));
            const CommandSpec* after = before.empty() ? nullptr : FindCommand(before.back());
            const Command command = after ? after->command : about;
            if (command != Command::kNone) {
                EXPECT_TRUE(Takes(*spec, command)) << where << ": " << FindCommand(command)->name
                                                   << " takes no " << name << ": " << line;
            }
        }
    }
}

// Every example command line in text (from "quillpadctl " to the end of the line, a comment,
// "&&", the end of bold or code, or two blanks before an explanation) parses.
void CheckExamples(const std::string& where, const std::string& text) {
    const std::regex example(R"(quillpadctl ((?:[^#`&*\n ]| (?! ))*))");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), example);
         it != std::sregex_iterator(); ++it) {
        const std::string line = (*it)[1];
        const std::vector<std::string> args = Words(line);
        if (args.empty() || args[0] == "-" || (!args[0].starts_with("-") && !FindCommand(args[0])))
            continue;  // "quillpadctl reads ...": a sentence, not a command line
        CommandLine parsed;
        const Status status = ParseCommandLine(args, parsed);
        EXPECT_TRUE(status.ok()) << where << ": quillpadctl " << line << ": " << status.message;
    }
}

// The text of a markdown section, from its heading to the next one.
std::string Section(const std::string& text, const std::string& heading) {
    const std::size_t start = text.find("\n" + heading + "\n");
    EXPECT_NE(start, std::string::npos) << heading;
    const std::size_t end = text.find("\n#", start + heading.size() + 2);
    return text.substr(start, end == std::string::npos ? end : end - start);
}

TEST(CtlGrammar, HandWrittenProseAgreesWithTheTable) {
    for (const CommandSpec& command : Commands()) {
        if (!command.listed || command.command == Command::kHelp)
            continue;
        const std::string help = HelpText(command.command);
        const std::string prose = help.substr(help.find("\n\n"));
        CheckOptionsNamed(std::string(command.name) + " --help", prose, command.command);
        CheckExamples(std::string(command.name) + " --help", prose);
    }
    CheckOptionsNamed("--help", HelpText(Command::kNone), Command::kNone);

    // The manual page: the text under each command's heading is about that command.
    const std::string page =
        ReadFile(std::string(QUILLPAD_SOURCE_DIR) + "/packaging/man/quillpadctl.1.scd.in");
    // The text under an option's heading that names commands names those that take it.
    std::istringstream lines(page);
    std::string line;
    Command about = Command::kNone;
    const OptionSpec* option = nullptr;
    std::set<std::string> named;
    auto checkOption = [&] {
        if (option && option->scope == Scope::kCommands && !named.empty()) {
            EXPECT_EQ(named.size(), option->commands.size())
                << option->name << " names the "
                << "commands " << CommandNames(*option);
        }
        for (const std::string& name : named) {
            EXPECT_TRUE(Takes(*option, FindCommand(name)->command))
                << "under " << option->name << ": " << name;
        }
        named.clear();
    };
    while (std::getline(lines, line)) {
        std::smatch heading;
        if (line.starts_with("#") || line.starts_with("@{")) {
            checkOption();
            about = Command::kNone;
            option = nullptr;
        }
        if (std::regex_search(line, heading, std::regex(R"(^@\{command (\w+))"))) {
            ASSERT_NE(FindCommand(heading[1].str()), nullptr) << line;
            about = FindCommand(heading[1].str())->command;
        } else if (std::regex_search(line, heading, std::regex(R"(^@\{option (\S+)\}@)"))) {
            option = FindOption(heading[1].str());
            ASSERT_NE(option, nullptr) << line;
        } else {
            CheckOptionsNamed("quillpadctl.1", line, about);
            const std::regex bold(R"(\*(\w+)\*)");
            for (auto it = std::sregex_iterator(line.begin(), line.end(), bold);
                 option && it != std::sregex_iterator(); ++it) {
                if (FindCommand((*it)[1].str()))
                    named.insert((*it)[1].str());
            }
        }
    }
    checkOption();
    CheckExamples("quillpadctl.1", page);

    // The README's section on the command line.
    const std::string readme = ReadFile(std::string(QUILLPAD_SOURCE_DIR) + "/README.md");
    const std::string section = Section(readme, "## Command line: quillpadctl");
    CheckOptionsNamed("README", section, Command::kNone);
    CheckExamples("README", section);
    std::smatch statuses;
    ASSERT_TRUE(std::regex_search(section, statuses, std::regex(R"(Exit status: ([^.]*)\.)")));
    std::string codes;
    for (const ExitSpec& status : ExitStatuses())
        codes += std::to_string(status.code);
    const std::string listed = std::regex_replace(statuses[1].str(), std::regex(R"([^0-9])"), "");
    EXPECT_EQ(listed, codes) << "README: " << statuses[0];

    // The udev rule the list help shows is the one the package installs.
    const std::string rule =
        ReadFile(std::string(QUILLPAD_SOURCE_DIR) + "/packaging/linux/70-quillpad.rules");
    const std::string ruleLine = rule.substr(rule.rfind("\nSUBSYSTEM") + 1);
    EXPECT_NE(
        HelpText(kAccessHelpCommand).find("  # /etc/udev/rules.d/70-quillpad.rules\n  " + ruleLine),
        std::string::npos)
        << ruleLine;
}

}  // namespace
}  // namespace quillpad::ctl
