#include "profile.h"

#include "assignment_text.h"

namespace quillpad {
namespace {

std::string_view Trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

// Key number of "key1" to "key6" in any case, or 0.
int KeyNumber(std::string_view name) {
    if (name.size() != 4)
        return 0;
    const std::string_view prefix = name.substr(0, 3);
    for (std::size_t i = 0; i < 3; ++i) {
        if ((prefix[i] | 0x20) != "key"[i])
            return 0;
    }
    const char digit = name[3];
    return (digit >= '1' && digit <= '0' + kKeyCount) ? digit - '0' : 0;
}

ProfileParse Fail(std::size_t line, std::string message) {
    ProfileParse r;
    r.error = "line " + std::to_string(line) + ": " + std::move(message);
    return r;
}

}  // namespace

ProfileParse ParseProfile(std::string_view text, const KeyNameSet* names) {
    static constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.starts_with(kByteOrderMark))
        text.remove_prefix(kByteOrderMark.size());

    ProfileParse result;
    std::array<std::size_t, kKeyCount> namedOn{};  // line that named each key, 0 = none
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const std::size_t end = text.find('\n');
        const std::string_view line = Trim(text.substr(0, end));
        text.remove_prefix(end == text.npos ? text.size() : end + 1);
        if (line.empty() || line.front() == '#')
            continue;
        if (line.find('\0') != line.npos)
            return Fail(lineNumber, "holds a NUL byte");

        const std::size_t equals = line.find('=');
        if (equals == line.npos) {
            return Fail(lineNumber,
                        QuoteForMessage(line) + " is not of the form keyN = ASSIGNMENT");
        }
        const std::string_view name = Trim(line.substr(0, equals));
        const int key = KeyNumber(name);
        if (key == 0) {
            return Fail(lineNumber, "unknown key " + QuoteForMessage(name) + ": use key1 to key6");
        }
        const std::string_view value = Trim(line.substr(equals + 1));
        if (namedOn[key - 1] != 0) {
            return Fail(lineNumber, "key" + std::to_string(key) + " was already given on line " +
                                        std::to_string(namedOn[key - 1]));
        }
        const AssignmentParse parsed = ParseAssignmentText(value, names);
        if (!parsed.ok)
            return Fail(lineNumber, "key" + std::to_string(key) + ": " + parsed.error);
        namedOn[key - 1] = lineNumber;
        result.keys[key - 1] = parsed.assignment;
    }
    if (namedOn == decltype(namedOn){}) {
        result.error = "the profile names no key (lines of the form key1 = Ctrl+F5)";
        return result;
    }
    result.ok = true;
    return result;
}

std::string FormatProfile(const KeyAssignments& keys, std::string_view header,
                          const KeyNameSet* names) {
    std::string text;
    while (!header.empty()) {
        const std::size_t end = header.find('\n');
        text += "# ";
        text += header.substr(0, end);
        text += '\n';
        header.remove_prefix(end == header.npos ? header.size() : end + 1);
    }
    for (int key = 1; key <= kKeyCount; ++key) {
        text += "key" + std::to_string(key) + " = " +
                CanonicalAssignmentText(KeyByNumber(keys, key), names) + "\n";
    }
    return text;
}

void ApplyProfile(const ProfileKeys& profile, KeyAssignments& keys) {
    for (int key = 1; key <= kKeyCount; ++key) {
        if (profile[key - 1])
            KeyByNumber(keys, key) = *profile[key - 1];
    }
}

namespace {

// How a profile's keys are named, in one of its header lines.
constexpr std::string_view kLayoutNoteStart = "keys named as the ";
constexpr std::string_view kLayoutNoteEnd = " keyboard layout types them";
constexpr std::string_view kUsNote =
    "keys named by their positions on a US keyboard: load without --layout";

}  // namespace

std::string ProfileHeader(std::string_view savedBy, const std::optional<std::string>& layout) {
    std::string header = "Quillpad profile: keyN = assignment (quillpadctl help set)\nsaved by ";
    header += savedBy;
    header += '\n';
    if (!layout) {
        header += kUsNote;
        return header;
    }
    header += kLayoutNoteStart;
    header += *layout;
    header += kLayoutNoteEnd;
    header += ": load with --layout ";
    header += *layout;
    return header;
}

std::optional<std::string> ProfileLayout(std::string_view text) {
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == text.npos ? text.size() : end + 1);
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

}  // namespace quillpad
