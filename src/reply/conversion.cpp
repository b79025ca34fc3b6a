#include "reply/conversion.h"

#include "core/error.h"

#include <algorithm>
#include <limits>

namespace reply {

namespace {

bool isBlank(char16_t c)
{
    return c == u' ' || c == u'\t';
}

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

std::u16string_view trimmedOfBlanks(std::u16string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace

std::int32_t toLong(std::u16string_view text)
{
    using core::Error;
    text = trimmedOfBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == u'+' || text.front() == u'-')) {
        negative = text.front() == u'-';
        text.remove_prefix(1);
    }
    const std::size_t point = text.find(u'.');
    const std::u16string_view whole = text.substr(0, point);
    const std::u16string_view fraction = point == std::u16string_view::npos ? std::u16string_view() : text.substr(point + 1);
    if (whole.empty() && fraction.empty())
        throw Error::fromNumber(Error::TypeMismatch);
    for (std::u16string_view part : {whole, fraction}) {
        if (!std::all_of(part.begin(), part.end(), isDigit))
            throw Error::fromNumber(Error::TypeMismatch);
    }

    // The magnitude is capped just past the range, so any number of digits
    // is read without wrapping around.
    constexpr std::int64_t Cap = std::int64_t(1) << 32;
    std::int64_t magnitude = 0;
    for (char16_t c : whole)
        magnitude = std::min(Cap, magnitude * 10 + (c - u'0'));

    if (!fraction.empty()) {
        const int first = fraction.front() - u'0';
        const std::u16string_view rest = fraction.substr(1);
        const bool beyondHalf = std::any_of(rest.begin(), rest.end(), [](char16_t c) { return c != u'0'; });
        const bool roundUp = first > 5 || (first == 5 && (beyondHalf || magnitude % 2 == 1));
        if (roundUp)
            magnitude = std::min(Cap, magnitude + 1);
    }

    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        throw Error::fromNumber(Error::Overflow);
    return std::int32_t(value);
}

} // namespace reply
