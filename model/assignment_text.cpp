#include "assignment_text.h"

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "key_codes.h"
#include "key_naming.h"
#include "us_key_positions.h"
#include "utf8.h"

namespace quillpad {

// What a folded name stands for.
struct NameMeaning {
    enum Kind : std::uint8_t { kModifier, kMouse, kKey } kind;
    std::uint8_t value;  // the bit, or the virtual key (0 for Null)
    bool needsShift;     // a shifted character: only valid with Shift
};

// Every name the texts use, and the names each key is written with.
struct KeyNameSet {
    std::array<bool, 256> keypadVk{};
    std::array<std::string, 256> plainName;    // of keypad keys, as the window shows them
    std::array<std::string, 256> shiftedName;  // the same under Shift
    std::unordered_map<std::string, NameMeaning> names;
    std::vector<std::pair<std::string, std::uint8_t>> shiftedKeys;  // for the help text
};

namespace {

struct BitName {
    std::uint8_t bit;
    const char* name;
};

// In the window's order, then the high bits (right-hand modifiers of a HID keyboard report).
constexpr BitName kModifierNames[] = {
    {kModShift, "Shift"}, {kModAlt, "Alt"},      {kModCtrl, "Ctrl"},  {kModWindows, "Windows"},
    {0x10, "Right Ctrl"}, {0x20, "Right Shift"}, {0x40, "Right Alt"}, {0x80, "Right Windows"},
};

// Left, middle, right as the window shows them, then buttons 4 to 8 of a HID mouse report.
constexpr BitName kMouseNames[] = {
    {kMouseLeft, "Mouse Left"},
    {kMouseMiddle, "Mouse Middle"},
    {kMouseRight, "Mouse Right"},
    {0x08, "Mouse 4"},
    {0x10, "Mouse 5"},
    {0x20, "Mouse 6"},
    {0x40, "Mouse 7"},
    {0x80, "Mouse 8"},
};

constexpr std::uint8_t kVkEquals = 0xBB;
constexpr std::uint8_t kVkKeypadPlus = 0x6B;

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 0x20) : c;
}
bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Lower case (whole characters, as far as utf8::ToLower maps them), blanks trimmed, every run
// of blanks inside made one space.
std::string Fold(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    bool pendingBlank = false;
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        const std::size_t length = utf8::CharLength(text, i);
        if (IsBlank(c)) {
            pendingBlank = !out.empty();
            ++i;
            continue;
        }
        if (pendingBlank)
            out.push_back(' ');
        pendingBlank = false;
        if (const auto cp = utf8::Decode(text, i); cp && *cp >= 0x80) {
            out += utf8::Encode(utf8::ToLower(*cp));
        } else if (length == 1) {
            out.push_back(Lower(c));
        } else {
            out.append(text.substr(i, length));
        }
        i += length;
    }
    return out;
}

// The key's name under Shift as the window shows it; "=" keeps its own name, because the
// shifted "+" would clash with the separator.
std::string ShiftedKeyName(std::uint8_t vk) {
    if (vk == kVkEquals || vk == kVkKeypadPlus)
        return VkToKeyName(vk);
    const std::string shown = FormatAssignment(KeyAssignment{vk, kModShift, 0, 0}, false);
    return shown.substr(std::string_view("Shift+").size());
}

// The names of the US layout, or of the character keys of another.
KeyNameSet BuildKeyNameSet(const LayoutNames* layout) {
    KeyNameSet t;
    for (const auto& n : kModifierNames)
        t.names[Fold(n.name)] = {NameMeaning::kModifier, n.bit, false};
    t.names["win"] = {NameMeaning::kModifier, kModWindows, false};
    t.names["right win"] = {NameMeaning::kModifier, 0x80, false};
    for (const auto& n : kMouseNames)
        t.names[Fold(n.name)] = {NameMeaning::kMouse, n.bit, false};
    t.names["null"] = {NameMeaning::kKey, 0, false};
    for (int usage = 0; usage < 256; ++usage) {
        t.keypadVk[UsageToVk(static_cast<std::uint8_t>(usage))] = true;
    }
    // Every key's own name first, so that no shifted character hides one.
    for (int vk = 1; vk < 256; ++vk) {
        if (!t.keypadVk[vk])
            continue;
        const auto v = static_cast<std::uint8_t>(vk);
        const bool own = layout != nullptr && !layout->plain[v].empty();
        t.plainName[v] = own ? layout->plain[v] : VkToKeyName(v);
        t.names.emplace(Fold(t.plainName[v]), NameMeaning{NameMeaning::kKey, v, false});
    }
    for (int vk = 1; vk < 256; ++vk) {
        if (!t.keypadVk[vk])
            continue;
        const auto v = static_cast<std::uint8_t>(vk);
        std::string shifted;
        if (layout == nullptr) {
            shifted = ShiftedKeyName(v);
        } else {
            shifted = layout->shifted[v].empty() ? t.plainName[v] : layout->shifted[v];
        }
        // A shifted "+" would read as a separator: the key keeps its own name under Shift.
        if (shifted == "+") {
            t.names.emplace("+", NameMeaning{NameMeaning::kKey, v, true});
            shifted = t.plainName[v];
        }
        const std::string plain = Fold(t.plainName[v]);
        const std::string folded = Fold(shifted);
        if (folded != plain) {
            const auto [at, added] =
                t.names.emplace(folded, NameMeaning{NameMeaning::kKey, v, true});
            if (added) {
                t.shiftedKeys.emplace_back(folded, v);
            } else if (at->second.value != v || at->second.kind != NameMeaning::kKey) {
                shifted = t.plainName[v];  // taken by another key
            }
        }
        t.shiftedName[v] = shifted;
    }
    t.names.emplace("+", NameMeaning{NameMeaning::kKey, kVkEquals, true});
    return t;
}

const KeyNameSet& GetKeyNameSet(const KeyNameSet* names = nullptr) {
    static const KeyNameSet us = BuildKeyNameSet(nullptr);
    return names != nullptr ? *names : us;
}

AssignmentParse Fail(std::string message) {
    AssignmentParse r;
    r.error = std::move(message);
    return r;
}

std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// Splits off a last name that ends in "+" ("Keypad +", or "+" in "Shift++"). Returns the
// folded key name, and leaves in body what precedes it (without its separating "+").
std::optional<std::string> SplitPlusKey(std::string_view& body, std::string& error) {
    std::string_view rest = TrimRight(body);
    if (rest.empty() || rest.back() != '+')
        return std::nullopt;
    rest.remove_suffix(1);
    rest = TrimRight(rest);
    const std::size_t cut = rest.rfind('+');
    const std::string_view last = cut == std::string_view::npos ? rest : rest.substr(cut + 1);
    // "+" alone or right after a separator is the shifted equals key.
    const std::string lastName = Fold(last);
    if (!lastName.empty() && lastName != "keypad") {
        error = "ends with '+': name a key after it, or leave the '+' out";
        return std::nullopt;
    }
    body = cut == std::string_view::npos ? std::string_view() : rest.substr(0, cut);
    if (cut != std::string_view::npos && Fold(body).empty()) {
        error = "has nothing before its last '+'";
        return std::nullopt;
    }
    return lastName.empty() ? "+" : "keypad +";
}

}  // namespace

bool IsKeypadVk(std::uint8_t vk) {
    return GetKeyNameSet().keypadVk[vk];
}

std::string CanonicalAssignmentText(const KeyAssignment& a, const KeyNameSet* names) {
    std::string text;
    text.reserve(64);
    const auto add = [&text](std::string_view part) {
        if (!text.empty())
            text += '+';
        text += part;
    };
    for (const auto& n : kModifierNames) {
        if (a.modifiers & n.bit)
            add(n.name);
    }
    for (const auto& n : kMouseNames) {
        if (a.mouse & n.bit)
            add(n.name);
    }
    if (a.vk != 0) {
        const KeyNameSet& t = GetKeyNameSet(names);
        const bool shift = (a.modifiers & kModShift) != 0;
        if (t.keypadVk[a.vk]) {
            add(shift ? t.shiftedName[a.vk] : t.plainName[a.vk]);
        } else {
            add(shift ? ShiftedKeyName(a.vk) : VkToKeyName(a.vk));
        }
    }
    return text.empty() ? "Null" : text;
}

std::string WindowAssignmentText(const KeyAssignment& a, const KeyNameSet* names) {
    if (names == nullptr)
        return NormalizeKeyText(FormatAssignment(a, false));
    // The window names character keys by asking the layout about their position.
    const auto at = [names](std::uint32_t lParam, bool shifted) -> std::string {
        const auto vk = UsVkAtScanCode(ScanCodeFromLParam(lParam));
        if (!vk || !names->keypadVk[*vk])
            return {};
        return shifted ? names->shiftedName[*vk] : names->plainName[*vk];
    };
    return NormalizeKeyText(FormatAssignment(
        a, false, [&at](std::uint32_t lParam) { return at(lParam, false); },
        [&at](std::uint32_t lParam) { return at(lParam, true); }));
}

AssignmentParse ParseAssignmentText(std::string_view text, const KeyNameSet* nameSet) {
    if (text.find_first_not_of(" \t") == text.npos) {
        return Fail("empty assignment: write Null for no key");
    }
    const auto quoted = [text] { return QuoteForMessage(text); };

    std::string_view body = text;
    std::string splitError;
    const std::optional<std::string> plusKey = SplitPlusKey(body, splitError);
    if (!splitError.empty())
        return Fail(quoted() + " " + splitError);

    const auto& names = GetKeyNameSet(nameSet).names;
    AssignmentParse result;
    KeyAssignment& out = result.assignment;
    std::optional<std::string_view> key;  // the key's name as written, once seen
    std::string failure;
    // Takes one name; false (with failure set) when the text is wrong.
    const auto take = [&](std::string_view raw, const std::string& folded) {
        const auto name = [raw] { return QuoteForMessage(raw); };
        if (folded.empty()) {
            failure = quoted() + " has an empty name between '+' signs";
            return false;
        }
        if (key) {
            failure = quoted() + " names " + name() + " after the key " + QuoteForMessage(*key) +
                      ": the key comes last";
            return false;
        }
        const auto found = names.find(folded);
        if (found == names.end()) {
            failure = "unknown name " + name() + " in " + quoted() +
                      "; accepted: " + AcceptedAssignmentNames(nameSet);
            return false;
        }
        const NameMeaning& m = found->second;
        if (m.kind != NameMeaning::kKey) {
            std::uint8_t& bits = m.kind == NameMeaning::kModifier ? out.modifiers : out.mouse;
            if (bits & m.value) {
                failure = quoted() + " names " + name() + " twice";
                return false;
            }
            bits |= m.value;
            return true;
        }
        key = raw;
        if (m.needsShift && !(out.modifiers & kModShift)) {
            const std::string plain = GetKeyNameSet(nameSet).plainName[m.value];
            failure = name() + " is the shifted " + plain + ": write Shift+" + plain +
                      (m.value == kVkEquals ? " (the keypad's plus key is Keypad +)" : "");
            return false;
        }
        out.vk = m.value;
        return true;
    };

    if (!plusKey || body.find_first_not_of(" \t") != body.npos) {
        for (std::size_t start = 0;;) {
            const std::size_t end = body.find('+', start);
            const std::string_view raw =
                body.substr(start, end == body.npos ? body.npos : end - start);
            if (!take(raw, Fold(raw)))
                return Fail(std::move(failure));
            if (end == body.npos)
                break;
            start = end + 1;
        }
    }
    if (plusKey && !take(*plusKey == "+" ? "+" : "Keypad +", *plusKey)) {
        return Fail(std::move(failure));
    }
    result.ok = true;
    return result;
}

std::vector<std::string> ModifierAndMouseNames() {
    std::vector<std::string> words;
    for (const auto& n : kModifierNames)
        words.push_back(n.name);
    words.insert(words.end(), {"Win", "Right Win"});
    for (const auto& n : kMouseNames)
        words.push_back(n.name);
    words.push_back("Null");
    return words;
}

std::string AcceptedAssignmentNames(const KeyNameSet* names) {
    const KeyNameSet& t = GetKeyNameSet(names);
    std::string text = "modifiers";
    for (const auto& n : kModifierNames)
        text += std::string(" ") + n.name + ",";
    text += " Win, Right Win; mouse buttons";
    for (const auto& n : kMouseNames)
        text += std::string(" ") + n.name + ",";
    text.back() = ';';
    text += names == nullptr ? " keys a to z, 0 to 9, F1 to F12" : " keys F1 to F12";
    for (int vk = 1; vk < 256; ++vk) {
        const auto v = static_cast<std::uint8_t>(vk);
        const bool inRange =
            (names == nullptr && ((vk >= 0x30 && vk <= 0x39) || (vk >= 0x41 && vk <= 0x5A))) ||
            (vk >= 0x70 && vk <= 0x7B);
        if (t.keypadVk[v] && !inRange)
            text += ", " + t.plainName[v];
    }
    text += ", Null; with Shift also the shifted characters";
    for (const auto& [name, vk] : t.shiftedKeys)
        text += " " + name;
    text += names == nullptr ? " (Shift+= or Shift++ for the equals key)" : "";
    return text;
}

std::vector<NamedKey> AcceptedKeyNames(const KeyNameSet* names) {
    const KeyNameSet& t = GetKeyNameSet(names);
    std::vector<NamedKey> keys;
    for (int vk = 1; vk < 256; ++vk) {
        const auto v = static_cast<std::uint8_t>(vk);
        if (t.keypadVk[v])
            keys.push_back({t.plainName[v], VkToUsage(v)});
    }
    std::sort(keys.begin(), keys.end(),
              [](const NamedKey& a, const NamedKey& b) { return a.usage < b.usage; });
    return keys;
}

std::shared_ptr<const KeyNameSet> MakeKeyNameSet(const LayoutNames& layout) {
    return std::make_shared<const KeyNameSet>(BuildKeyNameSet(&layout));
}

namespace {

// The length of the valid UTF-8 character at the start of text that may be shown as it is, or
// 0 for a byte to escape: broken or overlong sequences, surrogates, and the characters that
// print nothing yet change what is around them (C1 controls, line separators, direction and
// zero-width marks).
std::size_t ShowableCharacter(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    char32_t c = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        c = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        c = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (byte(i) & 0x3F);
    }
    const bool overlong = (length == 3 && c < 0x800) || (length == 4 && c < 0x10000);
    const bool hidden = c <= 0x9F || (c >= 0x200B && c <= 0x200F) || (c >= 0x2028 && c <= 0x202E) ||
                        (c >= 0x2060 && c <= 0x206F) || c == 0xFEFF;
    if (overlong || hidden || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
        return 0;
    return length;
}

}  // namespace

namespace {

// text as ShowForMessage gives it, cut after maxShown characters ("..." then follows).
std::string Show(std::string_view text, std::size_t maxShown) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    std::size_t shown = 0;
    for (std::size_t i = 0; i < text.size(); ++shown) {
        if (shown == maxShown) {
            out += "...";
            break;
        }
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
            ++i;
        } else if (const std::size_t length = ShowableCharacter(text.substr(i)); length > 0) {
            out.append(text.substr(i, length));
            i += length;
        } else {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
            ++i;
        }
    }
    return out;
}

}  // namespace

std::string ShowForMessage(std::string_view text) {
    return Show(text, std::string_view::npos);
}

std::string QuoteForMessage(std::string_view text) {
    std::string quoted = "'";
    quoted += Show(text, 60);
    quoted += '\'';
    return quoted;
}

}  // namespace quillpad
