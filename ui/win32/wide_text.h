// Text at the Win32 boundary: the model's texts are UTF-8, the wide Win32 functions take
// UTF-16, and the A functions answer in the system's ANSI code page.
#pragma once

#include <string>
#include <string_view>

namespace quillpad {

// Invalid input bytes become U+FFFD; nothing is dropped silently.
std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);
// Text in the system's ANSI code page (what the ...A functions return) to UTF-8.
std::string AnsiToUtf8(std::string_view text);

// The program file's name without its folder and its extension: the application's name.
std::string ProgramName(std::wstring_view modulePath);

}  // namespace quillpad
