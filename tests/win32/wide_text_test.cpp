#include "wide_text.h"

#include <gtest/gtest.h>

namespace quillpad {
namespace {

TEST(WideText, Utf8RoundTripsThroughUtf16) {
    const struct {
        const char* utf8;
        const wchar_t* wide;
    } cases[] = {
        {"", L""},
        {"F5", L"F5"},
        {"Alt+\xC3\x84", L"Alt+\u00C4"},                // Ä
        {"\xE2\x82\xAC", L"\u20AC"},                    // €
        {"\xE5\xAE\x8B\xE4\xBD\x93", L"\u5B8B\u4F53"},  // the dialog's font name
        {"\xF0\x9F\x98\x80", L"\xD83D\xDE00"},          // outside the BMP: a pair
        {"a\0b", L"a"},                                 // stops at the C string's end
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8ToWide(c.utf8), std::wstring(c.wide)) << c.utf8;
        EXPECT_EQ(WideToUtf8(c.wide), std::string(c.utf8)) << c.utf8;
    }
}

TEST(WideText, InvalidUtf8BecomesReplacementCharacters) {
    EXPECT_EQ(Utf8ToWide("a\xFF"
                         "b"),
              L"a\uFFFDb");
    EXPECT_EQ(Utf8ToWide("\xC3"), L"\uFFFD");  // cut short
}

TEST(WideText, AnsiAsciiIsUnchanged) {
    EXPECT_EQ(AnsiToUtf8("Num Lock"), "Num Lock");
}

TEST(WideText, ProgramNameDropsFolderAndExtension) {
    const struct {
        const wchar_t* path;
        const char* name;
    } cases[] = {
        {L"C:\\Program Files\\Quillpad\\quillpad-config.exe", "quillpad-config"},
        {L"Z:/build/win64/app/quillpad-config.exe", "quillpad-config"},
        {L"quillpad-config.exe", "quillpad-config"},
        {L"C:\\tools\\my.tool.v2.exe", "my.tool.v2"},
        {L"C:\\tools\\noextension", "noextension"},
        {L"C:\\dir.d\\prog", "prog"},
        {L"C:\\tools\\\u00C4rger.exe", "\xC3\x84rger"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProgramName(c.path), c.name);
}

}  // namespace
}  // namespace quillpad
