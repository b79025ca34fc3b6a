#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The program's text is UTF-16, as both window systems it runs on speak it
// and as the answer box counts its characters. These are the few
// conversions the core needs; a platform decodes and encodes files and
// datagrams in its own system encoding.
namespace unicode {

// Invalid or cut-short sequences each become U+FFFD.
std::u16string fromUtf8(std::string_view bytes);
// A lone surrogate becomes U+FFFD.
std::string toUtf8(std::u16string_view text);

// How many of the UTF-8 bytes make whole characters: a line cut at a fixed
// length ends before a character the cut went through, not in a
// replacement character the sender never wrote. A byte that can start
// nothing stays: it is no character either way.
std::size_t wholeUtf8Length(std::string_view bytes);

// Names as a system that names files by bytes gives them, mapped losslessly
// to text and back: UTF-8 where the bytes are UTF-8, and each other byte as
// the lone surrogate U+DC80 to U+DCFF, which no UTF-8 decodes to. A folder
// named in another encoding is still found.
std::u16string fromUtf8EscapingBytes(std::string_view bytes);
std::string toUtf8RestoringBytes(std::u16string_view text);

// A character outside the Basic Multilingual Plane is two UTF-16 units, a
// high surrogate and a low one.
constexpr bool isHighSurrogate(char16_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}
constexpr bool isLowSurrogate(char16_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The character that starts at text[at] (at < text.size()) and how many
// units it takes: two for a surrogate pair, one for anything else; a lone
// surrogate is itself.
struct CodePoint
{
    char32_t code;
    std::size_t length;
};
CodePoint codePointAt(std::u16string_view text, std::size_t at);

// The text's first limit units, one fewer where the cut would part the two
// halves of a character: a text cut to fit shows no broken character.
std::u16string_view cut(std::u16string_view text, std::size_t limit);

// Characters that show nothing, or show as a blank that an ordinary space
// would also give: controls, format characters (zero-width, bidirectional,
// byte-order mark, tags), line and paragraph separators, fillers, and the
// spaces other than U+0020. Text from a stranger shows them escaped, so
// that it can neither hide nor reorder what it stands beside.
bool isHidden(char32_t c);

// A whole number in decimal, with a minus sign when negative.
std::u16string decimal(std::int64_t value);

// The format with each "%1" replaced by the argument.
std::u16string substitute(std::u16string_view format, std::u16string_view argument);

} // namespace unicode
