#include "wide_text.h"

#include <windows.h>

#include <climits>

namespace quillpad {
namespace {

std::wstring ToWide(UINT codePage, std::string_view text) {
    if (text.empty() || text.size() > INT_MAX)
        return {};
    const int length = static_cast<int>(text.size());
    const int count = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    if (count <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(count), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), length, wide.data(), count);
    return wide;
}

}  // namespace

std::wstring Utf8ToWide(std::string_view text) {
    return ToWide(CP_UTF8, text);
}

std::string WideToUtf8(std::wstring_view text) {
    if (text.empty() || text.size() > INT_MAX)
        return {};
    const int length = static_cast<int>(text.size());
    const int count =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (count <= 0)
        return {};
    std::string utf8(static_cast<std::size_t>(count), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, utf8.data(), count, nullptr, nullptr);
    return utf8;
}

std::string AnsiToUtf8(std::string_view text) {
    return WideToUtf8(ToWide(CP_ACP, text));
}

std::string ProgramName(std::wstring_view modulePath) {
    const std::size_t slash = modulePath.find_last_of(L"\\/");
    std::wstring_view name =
        slash == std::wstring_view::npos ? modulePath : modulePath.substr(slash + 1);
    const std::size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring_view::npos && dot > 0)
        name = name.substr(0, dot);
    return WideToUtf8(name);
}

}  // namespace quillpad
