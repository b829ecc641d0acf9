// Small UTF-8 helpers for key names: step over whole characters, and change the case of
// one character where a simple one-to-one mapping exists.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillpad::utf8 {

// Bytes of the character starting at byte i: 1 to 4, or 1 for a byte that does not start a
// valid sequence; 0 at or past the end.
std::size_t CharLength(std::string_view text, std::size_t i);

// Characters in text, each byte that starts no valid sequence counted as one.
std::size_t Length(std::string_view text);

// The code point starting at byte i, or nothing when the bytes there are not valid UTF-8.
std::optional<char32_t> Decode(std::string_view text, std::size_t i);

std::string Encode(char32_t codePoint);

// The longest prefix of at most maxBytes bytes that ends on a character boundary and holds
// no NUL character.
std::string Truncate(std::string_view text, std::size_t maxBytes);

// One-to-one case mappings of ASCII, Latin-1, Greek and Cyrillic letters; any other code
// point is returned unchanged.
char32_t ToLower(char32_t c);
char32_t ToUpper(char32_t c);

// True when upper is the capital of lower: by the mappings above, or the Turkish pairs (i and
// capital dotted I, dotless i and I), which the mappings leave out so that they stay one to one.
bool IsCasePair(char32_t lower, char32_t upper);

// Changes the case of the first character of text in place; leaves text alone when it does
// not start with a valid character.
void LowerFirstChar(std::string& text);
void UpperFirstChar(std::string& text);

}  // namespace quillpad::utf8
