#pragma once

#include "platform/textcodec.h"

#include <cstddef>
#include <string>
#include <string_view>

// Text in a Windows code page: the ANSI code page is the system's default
// encoding for text, in which the messaging system writes its files and
// reads its datagrams.
namespace win32platform {

// Every byte that is no character of the code page, a lead byte cut off at
// the end included, becomes one U+FFFD: nothing is dropped in silence.
std::u16string decodeCodePage(std::string_view bytes, unsigned codePage);

// A character the code page lacks becomes the code page's default
// character ('?'), never a look-alike that would change the text's sense.
std::string encodeCodePage(std::u16string_view text, unsigned codePage);

// How many of the bytes make whole characters of the code page: a line cut
// at a fixed length ends before a character the cut went through (a lead
// byte without its trail byte, the first bytes of a UTF-8 sequence), not in
// a replacement character the sender never wrote.
std::size_t wholeCharactersLength(std::string_view bytes, unsigned codePage);

// The ANSI code page, as the system has it at each call.
class AnsiCodePageText final : public platform::TextCodec
{
public:
    std::u16string decode(std::string_view bytes) const override;
    std::string encode(std::u16string_view text) const override;
    std::size_t wholeCharactersLength(std::string_view bytes) const override;
    bool isUtf8() const override;
};

} // namespace win32platform
