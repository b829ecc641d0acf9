#include "command_line.h"

#include <algorithm>
#include <utility>

#include "assignment_text.h"
#include "dev.h"

namespace quillpad::ctl {
namespace {

Status Usage(std::string message) {
    return Fail(kExitUsage, std::move(message));
}

// Splits "--name=value" into name and value.
std::pair<std::string, std::optional<std::string>> SplitOption(const std::string& arg) {
    const std::size_t equals = arg.find('=');
    if (!arg.starts_with("--") || equals == std::string::npos)
        return {arg, std::nullopt};
    return {arg.substr(0, equals), arg.substr(equals + 1)};
}

class Parser {
  public:
    Parser(const std::vector<std::string>& args, CommandLine& out) : args_(args), out_(out) {}

    Status Run() {
        std::vector<std::string> positional;
        bool optionsEnded = false;
        for (next_ = 0; next_ < args_.size();) {
            const std::string arg = args_[next_++];
            if (optionsEnded || arg == "-" || !arg.starts_with("-")) {
                if (Status s = Positional(arg, positional); !s.ok())
                    return s;
                continue;
            }
            if (arg == "--") {
                optionsEnded = true;
                continue;
            }
            if (Status s = Option(arg); !s.ok())
                return s;
        }
        return Finish(positional);
    }

  private:
    Status Positional(const std::string& arg, std::vector<std::string>& positional) {
        if (out_.command == Command::kNone) {
            const CommandSpec* command = FindCommand(arg);
            if (!command) {
                return Usage("unknown command " + QuoteForMessage(arg) +
                             "; commands: " + ListedCommandNames(", "));
            }
            out_.command = command->command;
            return Ok();
        }
        if (FindCommand(out_.command)->arguments == Arguments::kAssignments)
            return SetPositional(arg);
        positional.push_back(arg);
        return Ok();
    }

    // set KEY ASSIGNMENT [KEY ASSIGNMENT...], where an assignment may instead be given as
    // --vk/--modifiers/--mouse options after its key.
    Status SetPositional(const std::string& arg) {
        if (!out_.items.empty() && !out_.items.back().text && !out_.items.back().HasFields()) {
            out_.items.back().text = arg;
            return Ok();
        }
        const auto key = ParseNumber(arg, kKeyCount);
        if (!key || *key == 0) {
            return Usage("expected a key number from 1 to 6, not " + QuoteForMessage(arg) +
                         " (quote assignments that hold blanks: set 1 \"Mouse Left+a\")");
        }
        for (const SetItem& item : out_.items) {
            if (item.key == static_cast<int>(*key)) {
                return Usage("key " + arg + " is named twice");
            }
        }
        SetItem item;
        item.key = static_cast<int>(*key);
        out_.items.push_back(item);
        return Ok();
    }

    Status Value(const std::string& name, const std::optional<std::string>& inline_,
                 std::string& value) {
        if (inline_) {
            value = *inline_;
            return Ok();
        }
        if (next_ >= args_.size())
            return Usage(name + " needs a value");
        value = args_[next_++];
        return Ok();
    }

    Status Field(const OptionSpec& option, const std::string& name, const std::string& value) {
        if (!Takes(option, out_.command))
            return Usage(BelongsTo(option));
        if (out_.items.empty())
            return Usage(name + " must follow a key number: set 1 " + name + " N");
        SetItem& item = out_.items.back();
        if (item.text) {
            return Usage("key " + std::to_string(item.key) +
                         ": give either an assignment text or --vk/--modifiers/--mouse");
        }
        const auto number = ParseNumber(value, 255);
        if (!number) {
            return Usage(name + " needs a number from 0 to 255 (decimal or 0x hex), not " +
                         QuoteForMessage(value));
        }
        std::optional<std::uint8_t>& field = option.id == OptionId::kVk          ? item.vk
                                             : option.id == OptionId::kModifiers ? item.modifiers
                                                                                 : item.mouse;
        if (field)
            return Usage(name + " is given twice for key " + std::to_string(item.key));
        field = static_cast<std::uint8_t>(*number);
        return Ok();
    }

    // A single-valued option given a second time is a mistake, not a change of mind.
    static Status Once(const std::string& name, bool& given) {
        if (given)
            return Usage(name + " is given twice");
        given = true;
        return Ok();
    }

    // A text option given at most once, never empty: --simulate, --layout, -o.
    Status OnceText(const OptionSpec& option, const std::string& name,
                    const std::optional<std::string>& inline_, std::optional<std::string>& into) {
        std::string value;
        if (Status s = Value(name, inline_, value); !s.ok())
            return s;
        if (value.empty()) {
            return Usage(name + (option.value == Value::kLayout
                                     ? " needs a keyboard layout name such as de or fr"
                                     : " needs a file name"));
        }
        if (into)
            return Usage(OptionSpellings(option) + " is given twice");
        into = value;
        return Ok();
    }

    Status Option(const std::string& arg) {
        const auto [name, inlineValue] = SplitOption(arg);
        const OptionSpec* option = FindOption(name);
        if (!option)
            return Usage("unknown option " + QuoteForMessage(arg) + "; see quillpadctl --help");
        if (option->value == Value::kNone && inlineValue)
            return Usage(name + " takes no value");
        given_.push_back(option);
        std::string value;
        switch (option->id) {
            case OptionId::kHelp:
                help_ = true;
                return Ok();
            case OptionId::kVersion:
                version_ = true;
                return Ok();
            case OptionId::kVerify:
                out_.verify = true;
                return Ok();
            case OptionId::kJson:
                out_.json = true;
                return Ok();
            case OptionId::kDevice:
                return Count(*option, name, inlineValue, kMaxDevices - 1, "a slot number",
                             deviceGiven_, out_.device);
            case OptionId::kWait:
                return Count(*option, name, inlineValue, kMaxWaitSeconds, "a number of seconds",
                             waitGiven_, out_.waitSeconds);
            case OptionId::kSimulate:
                return OnceText(*option, name, inlineValue, out_.simulate);
            case OptionId::kLayout:
                return OnceText(*option, name, inlineValue, out_.layout);
            case OptionId::kOutput:
                return OnceText(*option, name, inlineValue, out_.output);
            case OptionId::kVk:
            case OptionId::kModifiers:
            case OptionId::kMouse:
                if (Status s = Value(name, inlineValue, value); !s.ok())
                    return s;
                return Field(*option, name, value);
        }
        return Ok();
    }

    // A number from 0 to max (decimal or 0x hex), given at most once: --device, --wait.
    Status Count(const OptionSpec& option, const std::string& name,
                 const std::optional<std::string>& inlineValue, std::uint32_t max, const char* what,
                 bool& given, int& into) {
        std::string value;
        if (Status s = Value(name, inlineValue, value); !s.ok())
            return s;
        if (Status s = Once(OptionSpellings(option), given); !s.ok())
            return s;
        const auto number = ParseNumber(value, max);
        if (!number) {
            return Usage(name + " needs " + what + " from 0 to " + std::to_string(max) + ", not " +
                         QuoteForMessage(value));
        }
        into = static_cast<int>(*number);
        return Ok();
    }

    static std::string BelongsTo(const OptionSpec& option) {
        const bool one = option.commands.size() == 1;
        return option.name + std::string(" belongs to the ") + (one ? "" : "commands ") +
               CommandNames(option) + (one ? " command" : "");
    }

    Status Finish(const std::vector<std::string>& positional) {
        if (help_ || out_.command == Command::kHelp) {
            if (out_.command == Command::kHelp && !positional.empty()) {
                const CommandSpec* topic = FindCommand(positional.front());
                if (!topic || positional.size() > 1) {
                    return Usage("no help on " + QuoteForMessage(positional.front()));
                }
                out_.helpTopic = topic->command;
            } else {
                out_.helpTopic = out_.command == Command::kHelp ? Command::kNone : out_.command;
            }
            out_.command = Command::kHelp;
            return Ok();
        }
        if (version_ || out_.command == Command::kVersion) {
            out_.command = Command::kVersion;
            return Ok();
        }
        const Command c = out_.command;
        if (c == Command::kNone)
            return Usage("no command given; see quillpadctl --help");
        for (const OptionSpec& option : Options()) {
            const bool given = std::find(given_.begin(), given_.end(), &option) != given_.end();
            if (given && !Takes(option, c))
                return Usage(BelongsTo(option));
        }

        if (FindCommand(c)->arguments == Arguments::kFile) {
            if (positional.size() != 1) {
                return Usage(std::string(CommandName(c)) + " needs exactly one file name");
            }
            out_.file = positional.front();
        } else if (!positional.empty()) {
            return Usage(std::string(CommandName(c)) + " takes no argument " +
                         QuoteForMessage(positional.front()));
        }
        if (c == Command::kSet) {
            if (out_.items.empty())
                return Usage("set needs a key and an assignment: set 3 Ctrl+F5");
            const SetItem& last = out_.items.back();
            if (!last.text && !last.HasFields()) {
                return Usage("key " + std::to_string(last.key) + " has no assignment");
            }
        }
        return Ok();
    }

    const std::vector<std::string>& args_;
    CommandLine& out_;
    std::size_t next_ = 0;
    std::vector<const OptionSpec*> given_;
    bool help_ = false;
    bool version_ = false;
    bool deviceGiven_ = false;
    bool waitGiven_ = false;
};

}  // namespace

Status ParseCommandLine(const std::vector<std::string>& args, CommandLine& out) {
    out = CommandLine{};
    return Parser(args, out).Run();
}

const char* CommandName(Command command) {
    const CommandSpec* spec = FindCommand(command);
    return spec ? spec->name : "";
}

std::optional<unsigned> ParseNumber(const std::string& text, unsigned max) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::size_t start = hex ? 2 : 0;
    if (text.size() <= start || text.size() - start > 8)
        return std::nullopt;
    unsigned value = 0;
    for (std::size_t i = start; i < text.size(); ++i) {
        const char c = text[i];
        unsigned digit;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (hex && c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else if (hex && c >= 'A' && c <= 'F') {
            digit = static_cast<unsigned>(c - 'A' + 10);
        } else {
            return std::nullopt;
        }
        value = value * (hex ? 16 : 10) + digit;
    }
    if (value > max)
        return std::nullopt;
    return value;
}

}  // namespace quillpad::ctl
