#include "platform/clock.h"

namespace platform {

QTime SystemClock::currentTime() const
{
    return QTime::currentTime();
}

QDateTime SystemClock::currentDateTime() const
{
    return QDateTime::currentDateTime();
}

QString formatMediumTime(QTime time, const QLocale &locale)
{
    const int hour12 = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    const QString designator = time.hour() < 12 ? locale.amText() : locale.pmText();
    return QStringLiteral("%1:%2 %3")
        .arg(hour12, 2, 10, QLatin1Char('0'))
        .arg(time.minute(), 2, 10, QLatin1Char('0'))
        .arg(designator);
}

namespace {

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

QString formatGeneralDate(const QDateTime &dateTime, const QLocale &locale)
{
    QString text = locale.toString(dateTime.date(), QLocale::ShortFormat) + u' '
                   + locale.toString(dateTime.time(), timeFormatWithSeconds(locale));
    // A record has no escaping: a separator here would shift every field after it.
    text.replace(u';', u',');
    return text;
}

} // namespace platform
