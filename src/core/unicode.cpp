#include "core/unicode.h"

namespace unicode {

namespace {

constexpr char32_t Replacement = 0xFFFD;

void appendUtf16(std::u16string &out, char32_t code)
{
    if (code < 0x10000) {
        out += char16_t(code);
        return;
    }
    code -= 0x10000;
    out += char16_t(0xD800 + (code >> 10));
    out += char16_t(0xDC00 + (code & 0x3FF));
}

void appendUtf8(std::string &out, char32_t code)
{
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | (code >> 6));
        out += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += char(0xE0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xF0 | (code >> 18));
        out += char(0x80 | ((code >> 12) & 0x3F));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

// The character whose UTF-8 sequence starts at bytes[at], and the index just
// past it; or, for a sequence that is broken or no character, nothing, and
// the index of the byte that broke it (read afresh by the caller).
struct Decoded
{
    bool valid;
    char32_t code;
    std::size_t next;
};

Decoded decodeAt(std::string_view bytes, std::size_t at)
{
    const auto lead = static_cast<unsigned char>(bytes[at]);
    if (lead < 0x80)
        return {true, lead, at + 1};
    int length = 0;
    char32_t code = 0;
    char32_t smallest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, code = lead & 0x1F, smallest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, code = lead & 0x0F, smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, code = lead & 0x07, smallest = 0x10000;
    }
    std::size_t next = at + 1;
    bool complete = length > 0;
    for (int k = 1; complete && k < length; ++k) {
        if (next >= bytes.size() || (static_cast<unsigned char>(bytes[next]) & 0xC0) != 0x80) {
            complete = false;
        } else {
            code = (code << 6) | (static_cast<unsigned char>(bytes[next]) & 0x3F);
            ++next;
        }
    }
    const bool valid = complete && code >= smallest && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
    return {valid, code, next};
}

// The lone low surrogates that stand for the bytes 0x80 to 0xFF of a name
// that is no UTF-8 (no valid sequence decodes to a lone surrogate).
constexpr char16_t EscapedBytes = 0xDC00;

bool isEscapedByte(char16_t unit)
{
    return unit >= EscapedBytes + 0x80 && unit <= EscapedBytes + 0xFF;
}

std::string toUtf8(std::u16string_view text, bool escapedBytes)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto [code, length] = codePointAt(text, i);
        const char16_t unit = text[i];
        i += length;
        if (escapedBytes && isEscapedByte(unit))
            out += char(unit - EscapedBytes);
        else if (length == 1 && (isHighSurrogate(unit) || isLowSurrogate(unit)))
            appendUtf8(out, Replacement);
        else
            appendUtf8(out, code);
    }
    return out;
}

} // namespace

CodePoint codePointAt(std::u16string_view text, std::size_t at)
{
    const char16_t unit = text[at];
    if (isHighSurrogate(unit) && at + 1 < text.size() && isLowSurrogate(text[at + 1]))
        return {0x10000 + ((char32_t(unit) - 0xD800) << 10) + (char32_t(text[at + 1]) - 0xDC00), 2};
    return {unit, 1};
}

std::u16string_view cut(std::u16string_view text, std::size_t limit)
{
    if (text.size() <= limit)
        return text;
    if (limit > 0 && isHighSurrogate(text[limit - 1]) && isLowSurrogate(text[limit]))
        --limit;
    return text.substr(0, limit);
}

std::u16string fromUtf8(std::string_view bytes)
{
    std::u16string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        // A sequence broken anywhere is one replacement for what was read
        // of it; the byte that broke it starts afresh.
        const Decoded decoded = decodeAt(bytes, i);
        appendUtf16(out, decoded.valid ? decoded.code : Replacement);
        i = decoded.next;
    }
    return out;
}

std::string toUtf8(std::u16string_view text)
{
    return toUtf8(text, false);
}

std::size_t wholeUtf8Length(std::string_view bytes)
{
    // Back over the continuation bytes to the start of the last character;
    // it stays if all its bytes are there.
    for (std::size_t back = 1; back <= 4 && back <= bytes.size(); ++back) {
        const auto byte = static_cast<unsigned char>(bytes[bytes.size() - back]);
        if ((byte & 0xC0) == 0x80)
            continue;
        const std::size_t length = byte >= 0xF8 ? 1 : byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return length > back ? bytes.size() - back : bytes.size();
    }
    return bytes.size();
}

std::u16string fromUtf8EscapingBytes(std::string_view bytes)
{
    std::u16string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const Decoded decoded = decodeAt(bytes, i);
        if (decoded.valid) {
            appendUtf16(out, decoded.code);
            i = decoded.next;
        } else {
            // Byte by byte, so that every byte comes back as it was.
            out += char16_t(EscapedBytes + static_cast<unsigned char>(bytes[i]));
            ++i;
        }
    }
    return out;
}

std::string toUtf8RestoringBytes(std::u16string_view text)
{
    return toUtf8(text, true);
}

std::u16string decimal(std::int64_t value)
{
    const bool negative = value < 0;
    // Counted in the negative range, which holds the smallest value too.
    std::int64_t rest = negative ? value : -value;
    std::u16string digits;
    do {
        digits.insert(digits.begin(), char16_t(u'0' - rest % 10));
        rest /= 10;
    } while (rest != 0);
    if (negative)
        digits.insert(digits.begin(), u'-');
    return digits;
}

std::u16string substitute(std::u16string_view format, std::u16string_view argument)
{
    std::u16string out;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == u'%' && i + 1 < format.size() && format[i + 1] == u'1') {
            out += argument;
            ++i;
        } else {
            out += format[i];
        }
    }
    return out;
}

bool isHidden(char32_t c)
{
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F))
        return true;
    constexpr struct {
        char32_t first, last;
    } Ranges[] = {
        {0x00A0, 0x00A0}, {0x00AD, 0x00AD}, {0x034F, 0x034F}, {0x0600, 0x0605}, {0x061C, 0x061C},
        {0x06DD, 0x06DD}, {0x070F, 0x070F}, {0x08E2, 0x08E2}, {0x115F, 0x1160}, {0x1680, 0x1680},
        {0x17B4, 0x17B5}, {0x180B, 0x180F}, {0x2000, 0x200F}, {0x2028, 0x202F}, {0x205F, 0x206F},
        {0x3000, 0x3000}, {0x3164, 0x3164}, {0xFEFF, 0xFEFF}, {0xFFA0, 0xFFA0}, {0xFFF9, 0xFFFB},
        {0x110BD, 0x110BD}, {0x110CD, 0x110CD}, {0x13430, 0x1343F}, {0x1BCA0, 0x1BCA3},
        {0x1D173, 0x1D17A}, {0xE0000, 0xE0FFF},
    };
    for (const auto &range : Ranges) {
        if (c >= range.first && c <= range.last)
            return true;
    }
    return false;
}

} // namespace unicode
