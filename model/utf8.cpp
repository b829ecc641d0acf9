#include "utf8.h"

namespace quillpad::utf8 {
namespace {

bool IsContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

std::size_t SequenceLength(unsigned char lead) {
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;  // a continuation byte or a byte that never starts a character
}

struct CaseRange {
    char32_t upperFirst;
    char32_t upperLast;
    char32_t offset;  // lower = upper + offset
    char32_t except;  // a code point inside the range that is not a letter (0 = none)
};

constexpr CaseRange kCaseRanges[] = {
    {U'A', U'Z', 0x20, 0},
    {0x00C0, 0x00DE, 0x20, 0x00D7},  // Latin-1 capitals, not the multiplication sign
    {0x0391, 0x03A9, 0x20, 0x03A2},  // Greek capitals (no capital final sigma)
    {0x0410, 0x042F, 0x20, 0},       // Cyrillic А to Я
    {0x0400, 0x040F, 0x50, 0},       // Cyrillic Ѐ to Џ
};

}  // namespace

std::size_t CharLength(std::string_view text, std::size_t i) {
    if (i >= text.size())
        return 0;
    const std::size_t len = SequenceLength(static_cast<unsigned char>(text[i]));
    if (len == 0 || i + len > text.size())
        return 1;
    for (std::size_t k = 1; k < len; ++k) {
        if (!IsContinuation(static_cast<unsigned char>(text[i + k])))
            return 1;
    }
    return len;
}

std::optional<char32_t> Decode(std::string_view text, std::size_t i) {
    if (i >= text.size())
        return std::nullopt;
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t len = SequenceLength(lead);
    if (len == 0 || CharLength(text, i) != len)
        return std::nullopt;
    if (len == 1)
        return lead;
    char32_t cp = lead & (0x7F >> len);
    for (std::size_t k = 1; k < len; ++k) {
        cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not characters.
    static constexpr char32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMinimum[len] || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
        return std::nullopt;
    return cp;
}

std::size_t Length(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); i += CharLength(text, i))
        ++count;
    return count;
}

std::string Encode(char32_t cp) {
    std::string out;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

std::string Truncate(std::string_view text, std::size_t maxBytes) {
    std::size_t end = 0;
    while (end < text.size() && text[end] != '\0') {
        const std::size_t len = CharLength(text, end);
        if (end + len > maxBytes)
            break;
        end += len;
    }
    return std::string(text.substr(0, end));
}

char32_t ToLower(char32_t c) {
    for (const auto& r : kCaseRanges) {
        if (c >= r.upperFirst && c <= r.upperLast && c != r.except)
            return c + r.offset;
    }
    return c;
}

char32_t ToUpper(char32_t c) {
    for (const auto& r : kCaseRanges) {
        const char32_t lower = c - r.offset;
        if (c >= r.upperFirst + r.offset && c <= r.upperLast + r.offset && lower != r.except) {
            return lower;
        }
    }
    return c;
}

bool IsCasePair(char32_t lower, char32_t upper) {
    if ((lower == U'i' && upper == 0x130) || (lower == 0x131 && upper == U'I'))
        return true;
    return lower != upper && ToUpper(lower) == upper && ToLower(upper) == lower;
}

namespace {
template <typename Map>
void MapFirstChar(std::string& text, Map map) {
    const auto cp = Decode(text, 0);
    if (!cp)
        return;
    text.replace(0, CharLength(text, 0), Encode(map(*cp)));
}
}  // namespace

void LowerFirstChar(std::string& text) {
    MapFirstChar(text, ToLower);
}
void UpperFirstChar(std::string& text) {
    MapFirstChar(text, ToUpper);
}

}  // namespace quillpad::utf8
