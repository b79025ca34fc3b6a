#include "platform/qt/systemclock.h"

#include "platform/qt/qstringconversion.h"
#include "core/timeformat.h"

#include <QDateTime>
#include <QTime>

namespace qtplatform {

namespace {

platform::TimeOfDay timeOfDay(QTime time)
{
    return {time.hour(), time.minute(), time.second()};
}

// The locale's long time format without its time-zone part ("t"): the
// general date form names no zone. Quoted literals are left alone.
QString timeFormatWithSeconds(const QLocale &locale)
{
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString withoutZone;
    bool quoted = false;
    for (QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        if (quoted || c != u't')
            withoutZone += c;
    }
    // Some locales bracket the zone: "H:mm:ss (t)".
    withoutZone.remove(QStringLiteral("()"));
    return withoutZone.simplified();
}

} // namespace

platform::TimeOfDay SystemClock::currentTime() const
{
    return timeOfDay(QTime::currentTime());
}

platform::DateTime SystemClock::currentDateTime() const
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDate date = now.date();
    return {date.year(), date.month(), date.day(), timeOfDay(now.time())};
}

std::u16string SystemClock::formatMediumTime(platform::TimeOfDay time) const
{
    const QLocale shown = locale();
    return core::mediumTime(time, toU16String(shown.amText()), toU16String(shown.pmText()));
}

std::u16string SystemClock::formatGeneralDate(const platform::DateTime &dateTime) const
{
    const QDate date(dateTime.year, dateTime.month, dateTime.day);
    const QTime time(dateTime.time.hour, dateTime.time.minute, dateTime.time.second);
    const QLocale shown = locale();
    return toU16String(shown.toString(date, QLocale::ShortFormat) + u' '
                       + shown.toString(time, timeFormatWithSeconds(shown)));
}

} // namespace qtplatform
