#pragma once

#include "platform/textcodec.h"

#include <cstddef>
#include <string>
#include <string_view>

#include <iconv.h>

namespace qtplatform {

// Text in the encoding of the user's locale (LC_ALL, LC_CTYPE, LANG), as the
// C library names it: UTF-8 when the locale is UTF-8, or is unset, C or
// POSIX, or names no installed locale; any other encoding through iconv.
// The encoding is read once, from the environment rather than the process's
// current locale, which nothing may have set yet when the file is read.
class LocaleTextCodec final : public platform::TextCodec
{
public:
    LocaleTextCodec();
    ~LocaleTextCodec() override;

    // The one codec of the process: the locale is the process's, too.
    static const LocaleTextCodec &ofThisProcess();

    std::u16string decode(std::string_view bytes) const override;
    std::string encode(std::u16string_view text) const override;

    std::size_t wholeCharactersLength(std::string_view bytes) const override;
    bool isUtf8() const override { return m_decoder == NoConversion; }

private:
    static inline const iconv_t NoConversion = iconv_t(-1);

    std::u16string decode(std::string_view bytes, std::size_t *whole) const;

    // The conversions keep a state between the calls of one conversion, and
    // are reset at the start of each: one thread at a time.
    iconv_t m_decoder = NoConversion;
    iconv_t m_encoder = NoConversion;
};

} // namespace qtplatform
