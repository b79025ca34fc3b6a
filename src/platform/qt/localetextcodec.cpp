#include "platform/qt/localetextcodec.h"

#include "platform/qt/localtext.h"
#include "core/unicode.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <strings.h>

#include <langinfo.h>
#include <locale.h>

namespace qtplatform {

namespace {

constexpr char16_t Replacement = 0xFFFD;
constexpr const char *Utf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

// The C library calls the C and POSIX locales' encoding ASCII; the
// notifier reads it as UTF-8, of which ASCII is part.
bool isUtf8OrAscii(const char *codeset)
{
    return strcasecmp(codeset, "UTF-8") == 0 || strcasecmp(codeset, "UTF8") == 0
           || strcasecmp(codeset, "ANSI_X3.4-1968") == 0 || strcasecmp(codeset, "ASCII") == 0;
}

// The environment's encoding for text, without touching the process's
// locale; empty for UTF-8.
std::string environmentCodeset()
{
    const locale_t locale = newlocale(LC_CTYPE_MASK, "", locale_t(nullptr));
    if (!locale)
        return {};
    const std::string codeset = nl_langinfo_l(CODESET, locale);
    freelocale(locale);
    return isUtf8OrAscii(codeset.c_str()) ? std::string() : codeset;
}

// One call of iconv: as much as goes, and the reason it stopped (0 if all
// went).
int convert(iconv_t conversion, const char *&in, std::size_t &inLeft, std::string &out, std::size_t &filled)
{
    for (;;) {
        if (out.size() - filled < 16)
            out.resize(out.size() * 2 + 64);
        char *target = out.data() + filled;
        std::size_t room = out.size() - filled;
        const std::size_t result = iconv(conversion, const_cast<char **>(&in), &inLeft, &target, &room);
        filled = std::size_t(target - out.data());
        if (result != std::size_t(-1))
            return 0;
        if (errno != E2BIG)
            return errno;
    }
}

// Ends a stretch of input: what the conversion held back in case more came
// (a base character awaiting a combining mark, a consonant its vowel sign)
// is written out, and a stateful encoding returns to its initial state.
void finish(iconv_t conversion, std::string &out, std::size_t &filled)
{
    const char *none = nullptr;
    std::size_t nothing = 0;
    convert(conversion, none, nothing, out, filled);
}

} // namespace

LocaleTextCodec::LocaleTextCodec()
{
    const std::string codeset = environmentCodeset();
    if (codeset.empty())
        return;
    m_decoder = iconv_open(Utf16, codeset.c_str());
    m_encoder = iconv_open(codeset.c_str(), Utf16);
    if (m_decoder == NoConversion || m_encoder == NoConversion) {
        // An encoding the C library cannot convert: UTF-8, as for no locale.
        if (m_decoder != NoConversion)
            iconv_close(m_decoder);
        if (m_encoder != NoConversion)
            iconv_close(m_encoder);
        m_decoder = m_encoder = NoConversion;
    }
}

LocaleTextCodec::~LocaleTextCodec()
{
    if (m_decoder != NoConversion)
        iconv_close(m_decoder);
    if (m_encoder != NoConversion)
        iconv_close(m_encoder);
}

const LocaleTextCodec &LocaleTextCodec::ofThisProcess()
{
    static const LocaleTextCodec codec;
    return codec;
}

std::u16string LocaleTextCodec::decode(std::string_view bytes) const
{
    if (isUtf8())
        return decodeUtf8(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    return decode(bytes, nullptr);
}

std::u16string LocaleTextCodec::decode(std::string_view bytes, std::size_t *whole) const
{
    iconv(m_decoder, nullptr, nullptr, nullptr, nullptr);
    std::string out(bytes.size() * 2 + 64, '\0');
    std::size_t filled = 0;
    const char *in = bytes.data();
    std::size_t inLeft = bytes.size();
    const auto appendReplacement = [&] {
        out.resize(std::max(out.size(), filled + sizeof Replacement));
        std::memcpy(out.data() + filled, &Replacement, sizeof Replacement);
        filled += sizeof Replacement;
    };
    if (whole)
        *whole = bytes.size();
    while (inLeft > 0) {
        const int stop = convert(m_decoder, in, inLeft, out, filled);
        if (stop == 0)
            break;
        finish(m_decoder, out, filled);
        if (stop == EINVAL) {
            // A character cut short by the end.
            if (whole)
                *whole = bytes.size() - inLeft;
            appendReplacement();
            break;
        }
        // A byte that starts no character; the next one starts afresh.
        appendReplacement();
        ++in;
        --inLeft;
    }
    finish(m_decoder, out, filled);
    std::u16string text(filled / sizeof(char16_t), u'\0');
    std::memcpy(text.data(), out.data(), text.size() * sizeof(char16_t));
    return text;
}

std::string LocaleTextCodec::encode(std::u16string_view text) const
{
    if (isUtf8())
        return encodeUtf8(text);
    iconv(m_encoder, nullptr, nullptr, nullptr, nullptr);
    std::string out(text.size() + 64, '\0');
    std::size_t filled = 0;
    const char *in = reinterpret_cast<const char *>(text.data());
    std::size_t inLeft = text.size() * sizeof(char16_t);
    while (inLeft > 0) {
        const int stop = convert(m_encoder, in, inLeft, out, filled);
        if (stop == 0)
            break;
        finish(m_encoder, out, filled);
        // A character the encoding lacks, or a lone surrogate: one "?" for
        // the whole character.
        char16_t unit;
        std::memcpy(&unit, in, sizeof unit);
        std::size_t skipped = sizeof(char16_t);
        if (unit >= 0xD800 && unit <= 0xDBFF && inLeft >= 2 * sizeof(char16_t)) {
            char16_t next;
            std::memcpy(&next, in + sizeof(char16_t), sizeof next);
            if (next >= 0xDC00 && next <= 0xDFFF)
                skipped *= 2;
        }
        out.resize(std::max(out.size(), filled + 1));
        out[filled++] = '?';
        in += std::min(skipped, inLeft);
        inLeft -= std::min(skipped, inLeft);
    }
    finish(m_encoder, out, filled);
    out.resize(filled);
    return out;
}

std::size_t LocaleTextCodec::wholeCharactersLength(std::string_view bytes) const
{
    if (isUtf8())
        return unicode::wholeUtf8Length(bytes);
    std::size_t whole = 0;
    decode(bytes, &whole);
    return whole;
}

} // namespace qtplatform
