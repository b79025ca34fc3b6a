#pragma once

#include <string>
#include <string_view>

// The core's text and the Windows API's are both UTF-16; only the element
// types differ.
namespace win32platform {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wchar_t is a UTF-16 code unit");

inline std::wstring wide(std::u16string_view text)
{
    return std::wstring(text.begin(), text.end());
}

inline std::u16string utf16(std::wstring_view text)
{
    return std::u16string(text.begin(), text.end());
}

} // namespace win32platform
