#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// The system's default encoding for text: the notification file is written
// in it, and the answer leaves in it.
class TextCodec
{
public:
    TextCodec() = default;
    virtual ~TextCodec() = default;
    TextCodec(const TextCodec &) = delete;
    TextCodec &operator=(const TextCodec &) = delete;

    // Every byte sequence that is no character of the encoding, one cut
    // short at the end included, becomes U+FFFD: shown, never dropped.
    virtual std::u16string decode(std::string_view bytes) const = 0;
    // A character the encoding cannot carry becomes "?", never a look-alike
    // that would change the text's sense.
    virtual std::string encode(std::u16string_view text) const = 0;
    // How many of the bytes make whole characters: a line cut at a fixed
    // length ends before a character the cut went through, not in a
    // replacement character the sender never wrote.
    virtual std::size_t wholeCharactersLength(std::string_view bytes) const = 0;
    // UTF-8, where a leading byte-order mark only says how the text is
    // encoded and is no part of it.
    virtual bool isUtf8() const = 0;
};

} // namespace platform
