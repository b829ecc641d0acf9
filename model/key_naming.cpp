#include "key_naming.h"

#include "us_key_positions.h"
#include "utf8.h"

namespace quillpad {
namespace {

struct Name {
    std::uint8_t vk;
    const char* text;
};

// The last nine are keys of ISO, Brazilian, Japanese and Korean keyboards, which a US keyboard
// lacks.
constexpr Name kNames[] = {
    {0x00, "Null"},      {0x08, "Backspace"}, {0x09, "Tab"},         {0x0D, "Enter"},
    {0x13, "Pause"},     {0x14, "Capital"},   {0x1B, "Esc"},         {0x20, "Space"},
    {0x21, "PageUp"},    {0x22, "PageDown"},  {0x23, "End"},         {0x24, "Home"},
    {0x25, "Left"},      {0x26, "Up"},        {0x27, "Right"},       {0x28, "Down"},
    {0x2D, "Insert"},    {0x2E, "Delete"},    {0x5D, "Application"}, {0x6A, "Keypad *"},
    {0x6B, "Keypad +"},  {0x6D, "Keypad -"},  {0x6F, "keypad /"},    {0x90, "Numlock"},
    {0x91, "Scroll"},    {0xBA, ";"},         {0xBB, "="},           {0xBC, ","},
    {0xBD, "-"},         {0xBE, "."},         {0xBF, "/"},           {0xC0, "`"},
    {0xDB, "["},         {0xDC, "\\"},        {0xDD, "]"},           {0xDE, "'"},
    {0xE2, "Non-US \\"}, {0xC1, "Ro"},        {0xC2, "Keypad ,"},    {0xDF, "Yen"},
    {0xF2, "Katakana"},  {0x1C, "Henkan"},    {0xEB, "Muhenkan"},    {0x15, "Hangul"},
    {0x19, "Hanja"},
};

bool IsLetterKey(std::uint8_t vk) {
    return vk >= 0x41 && vk <= 0x5A;
}

// Replaces the first character of text (a whole UTF-8 character) by replacement; an empty
// text gets the replacement as its only character.
void ReplaceFirstChar(std::string& text, char replacement) {
    const std::size_t len = utf8::CharLength(text, 0);
    if (len == 0) {
        text.assign(1, replacement);
    } else {
        text.erase(0, len - 1);
        text[0] = replacement;
    }
}

// A name of one character: only those change with Shift or case.
bool IsOneCharacter(const std::string& name) {
    return !name.empty() && utf8::CharLength(name, 0) == name.size();
}

void ApplyShift(std::string& name, std::uint8_t vk) {
    if (!IsOneCharacter(name)) {
        return;
    }
    if (IsLetterKey(vk)) {
        utf8::UpperFirstChar(name);
        return;
    }
    // The first character of any other character key's name becomes the US Shift character.
    if (IsCharacterKeyVk(vk)) {
        if (const UsCharacterKey* key = UsCharacterKeyOfVk(vk)) {
            ReplaceFirstChar(name, key->shifted);
        }
    }
}

// A name whose first character is a letter with an upper and a lower case.
bool IsCasedLetter(const std::string& name) {
    const auto c = utf8::Decode(name, 0);
    return c && utf8::ToLower(*c) != utf8::ToUpper(*c);
}

}  // namespace

std::string VkToKeyName(std::uint8_t vk) {
    for (const auto& n : kNames) {
        if (n.vk == vk) {
            return n.text;
        }
    }
    if (vk >= 0x70 && vk <= 0x7B) {
        std::string name = std::to_string(vk - 0x6F);
        name.insert(name.begin(), 'F');
        return name;
    }
    if (IsLetterKey(vk)) {
        return std::string(1, static_cast<char>(vk + 0x20));
    }
    // Any other code is shown as the character with that code (Latin-1).
    return utf8::Encode(vk);
}

namespace {

// The assignment's text in two parts: modifiers and mouse buttons, each followed by "+", and
// the key's name.
struct AssignmentParts {
    std::string prefix;
    std::string name;
};

AssignmentParts FormatParts(const KeyAssignment& a, bool useKeyNames, const KeyNameLookup& lookup,
                            const KeyNameLookup& shiftedLookup) {
    const bool shift = (a.modifiers & kModShift) != 0;
    const bool characterKey = IsLayoutNamedVk(a.vk);
    // The position to ask the layout about: the captured key's, or where a US keyboard has a
    // character key read from the keypad.
    std::uint32_t position = 0;
    if (lookup && a.lParam != 0 && useKeyNames) {
        position = a.lParam;
    } else if (lookup && characterKey) {
        position = KeyLParamOfUsVk(a.vk);
    }
    std::string name;
    if (position != 0) {
        name = utf8::Truncate(lookup(position), kMaxKeyNameBytes);
        if (name.empty() && a.lParam == 0) {
            name = VkToKeyName(a.vk);
        }
    } else {
        name = VkToKeyName(a.vk);
    }
    if (position != 0 && characterKey) {
        // Letters are shown in lower case, whatever case the layout names them in; a key
        // named by a word (Henkan) keeps it.
        if (IsOneCharacter(name))
            utf8::LowerFirstChar(name);
        if (shift) {
            std::string shifted =
                shiftedLookup ? utf8::Truncate(shiftedLookup(position), kMaxKeyNameBytes) : "";
            if (!shifted.empty()) {
                name = std::move(shifted);
            } else if (!IsLetterKey(a.vk) && IsOneCharacter(name) && IsCasedLetter(name)) {
                utf8::UpperFirstChar(name);
            } else {
                ApplyShift(name, a.vk);
            }
        }
    } else if (shift) {
        ApplyShift(name, a.vk);
    }

    std::string modifiers;
    if (shift) {
        modifiers += "Shift+";
    }
    std::string mouse;
    if (a.mouse & kMouseLeft)
        mouse += "Mouse Left+";
    if (a.mouse & kMouseMiddle)
        mouse += "Mouse Middle+";
    if (a.mouse & kMouseRight)
        mouse += "Mouse Right+";
    if (a.modifiers & kModAlt)
        modifiers += "Alt+";
    if (a.modifiers & kModCtrl)
        modifiers += "Ctrl+";
    if (a.modifiers & kModWindows)
        modifiers += "Windows+";

    return {modifiers + mouse, std::move(name)};
}

}  // namespace

std::string FormatAssignment(const KeyAssignment& a, bool useKeyNames, const KeyNameLookup& lookup,
                             const KeyNameLookup& shiftedLookup) {
    const AssignmentParts parts = FormatParts(a, useKeyNames, lookup, shiftedLookup);
    std::string result = parts.prefix + parts.name;
    if (result.size() > 1 && result.back() == '+') {
        result.pop_back();
    }
    return result;
}

std::string DisplayAssignmentText(const KeyAssignment& a, bool useKeyNames,
                                  const KeyNameLookup& lookup, const KeyNameLookup& shiftedLookup) {
    const AssignmentParts parts = FormatParts(a, useKeyNames, lookup, shiftedLookup);
    if (a.vk == 0 || parts.name.empty() || parts.name.back() != '+') {
        return NormalizeKeyText(FormatAssignment(a, useKeyNames, lookup, shiftedLookup));
    }
    // A key whose name ends in "+" ("+", "Num +") keeps it: the clean-up would take it for a
    // stray separator.
    if (parts.prefix.empty()) {
        return parts.name;
    }
    return NormalizeKeyText(parts.prefix) + "+" + parts.name;
}

std::string NormalizeKeyText(std::string_view text) {
    // 1. Drop every "Null"; 2. drop the stray byte pair CC CC where a character would start.
    std::string s;
    s.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (text.compare(i, 4, "Null") == 0) {
            i += 4;
        } else {
            const std::size_t len = utf8::CharLength(text, i);
            s.append(text.substr(i, len));
            i += len;
        }
    }
    std::string t;
    t.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        if (static_cast<unsigned char>(s[i]) == 0xCC && i + 1 < s.size() &&
            static_cast<unsigned char>(s[i + 1]) == 0xCC) {
            i += 2;
        } else {
            const std::size_t len = utf8::CharLength(s, i);
            t.append(s, i, len);
            i += len;
        }
    }
    // 3. "++" becomes "+", in one pass over non-overlapping pairs.
    std::string u;
    u.reserve(t.size());
    for (std::size_t i = 0; i < t.size();) {
        if (t.compare(i, 2, "++") == 0) {
            u += '+';
            i += 2;
        } else {
            u += t[i++];
        }
    }
    // 4, 5. One leading and one trailing "+".
    if (!u.empty() && u.front() == '+')
        u.erase(0, 1);
    if (!u.empty() && u.back() == '+')
        u.pop_back();
    return u.empty() ? "Null" : u;
}

}  // namespace quillpad
