#include "platform/conversion.h"

#include "platform/error.h"

#include <algorithm>
#include <limits>

namespace platform {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

QStringView trimmedOfBlanks(QStringView text)
{
    while (!text.isEmpty() && isBlank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
    return text;
}

} // namespace

qint32 toLong(QStringView text)
{
    text = trimmedOfBlanks(text);
    bool negative = false;
    if (!text.isEmpty() && (text.front() == u'+' || text.front() == u'-')) {
        negative = text.front() == u'-';
        text = text.sliced(1);
    }
    const qsizetype point = text.indexOf(u'.');
    const QStringView whole = point < 0 ? text : text.first(point);
    const QStringView fraction = point < 0 ? QStringView() : text.sliced(point + 1);
    if (whole.isEmpty() && fraction.isEmpty())
        throw Error::fromNumber(Error::TypeMismatch);
    for (QStringView part : {whole, fraction}) {
        for (QChar c : part) {
            if (!isDigit(c))
                throw Error::fromNumber(Error::TypeMismatch);
        }
    }

    // The magnitude is capped just past the range, so any number of digits
    // is read without wrapping around.
    constexpr qint64 Cap = qint64(1) << 32;
    qint64 magnitude = 0;
    for (QChar c : whole)
        magnitude = std::min(Cap, magnitude * 10 + (c.unicode() - u'0'));

    if (!fraction.isEmpty()) {
        const int first = fraction.front().unicode() - u'0';
        const QStringView rest = fraction.sliced(1);
        const bool beyondHalf = std::any_of(rest.begin(), rest.end(), [](QChar c) { return c != u'0'; });
        const bool roundUp = first > 5 || (first == 5 && (beyondHalf || magnitude % 2 == 1));
        if (roundUp)
            magnitude = std::min(Cap, magnitude + 1);
    }

    const qint64 value = negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        throw Error::fromNumber(Error::Overflow);
    return qint32(value);
}

} // namespace platform
