#include "platform/win32/codepagetext.h"

#include "core/unicode.h"
#include "platform/failure.h"
#include "platform/win32/widetext.h"

#include <windows.h>

#include <climits>

namespace win32platform {

namespace {

using platform::FailureKind;
using platform::SystemFailure;

constexpr char16_t Replacement = 0xFFFD;

// The Windows conversions count in int.
int checkedLength(std::size_t size)
{
    if (size > std::size_t(INT_MAX))
        throw SystemFailure(FailureKind::OutOfMemory);
    return int(size);
}

// Appends the bytes decoded, or nothing and false if any byte is invalid.
bool appendStrictly(std::string_view bytes, unsigned codePage, std::u16string &text)
{
    const int size = checkedLength(bytes.size());
    const int length = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (length <= 0)
        return false;
    std::wstring decoded(std::size_t(length), L'\0');
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, decoded.data(), length);
    text.append(decoded.begin(), decoded.end());
    return true;
}

} // namespace

std::u16string decodeCodePage(std::string_view bytes, unsigned codePage)
{
    if (codePage == CP_UTF8)
        return unicode::fromUtf8(bytes);
    std::u16string text;
    if (bytes.empty() || appendStrictly(bytes, codePage, text))
        return text;
    // Character by character: a lead byte with its trail byte, or one byte.
    // A pair that makes no character is one replacement for the lead byte;
    // the trail byte then starts afresh, as it may be a character itself.
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = IsDBCSLeadByteEx(codePage, BYTE(bytes[i])) ? 2 : 1;
        if (i + length <= bytes.size() && appendStrictly(bytes.substr(i, length), codePage, text)) {
            i += length;
        } else {
            text += Replacement;
            ++i;
        }
    }
    return text;
}

std::string encodeCodePage(std::u16string_view text, unsigned codePage)
{
    if (codePage == CP_UTF8)
        return unicode::toUtf8(text);
    if (text.empty())
        return {};
    // A code page of one or two bytes a character has none beyond U+FFFF,
    // and would make each half of one a '?' of its own: the character goes
    // as one unit that such a code page lacks too, and becomes one '?'.
    CPINFO info;
    const bool narrow = GetCPInfo(codePage, &info) && info.MaxCharSize <= 2;
    std::wstring characters;
    characters.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (narrow && IS_HIGH_SURROGATE(text[i]) && i + 1 < text.size() && IS_LOW_SURROGATE(text[i + 1])) {
            characters += wchar_t(Replacement);
            ++i;
        } else {
            characters += wchar_t(text[i]);
        }
    }
    const int size = checkedLength(characters.size());
    // A few code pages take no flags at all.
    for (const DWORD flags : {DWORD(WC_NO_BEST_FIT_CHARS), DWORD(0)}) {
        const int length = WideCharToMultiByte(codePage, flags, characters.data(), size, nullptr, 0, nullptr, nullptr);
        if (length <= 0)
            continue;
        std::string bytes(std::size_t(length), '\0');
        WideCharToMultiByte(codePage, flags, characters.data(), size, bytes.data(), length, nullptr, nullptr);
        return bytes;
    }
    // A code page the system does not know.
    throw SystemFailure(FailureKind::UnknownEncoding, GetLastError());
}

std::size_t wholeCharactersLength(std::string_view bytes, unsigned codePage)
{
    if (codePage == CP_UTF8)
        return unicode::wholeUtf8Length(bytes);
    CPINFO info;
    if (!GetCPInfo(codePage, &info) || info.MaxCharSize < 2)
        return bytes.size();
    // A trail byte may look like a lead byte, so characters are only told
    // apart from the start.
    std::size_t whole = 0;
    while (whole < bytes.size()) {
        const std::size_t length = IsDBCSLeadByteEx(codePage, BYTE(bytes[whole])) ? 2 : 1;
        if (whole + length > bytes.size())
            break;
        whole += length;
    }
    return whole;
}

std::u16string AnsiCodePageText::decode(std::string_view bytes) const
{
    return decodeCodePage(bytes, GetACP());
}

std::string AnsiCodePageText::encode(std::u16string_view text) const
{
    return encodeCodePage(text, GetACP());
}

std::size_t AnsiCodePageText::wholeCharactersLength(std::string_view bytes) const
{
    return win32platform::wholeCharactersLength(bytes, GetACP());
}

bool AnsiCodePageText::isUtf8() const
{
    return GetACP() == CP_UTF8;
}

} // namespace win32platform
