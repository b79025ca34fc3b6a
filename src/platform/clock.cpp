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

} // namespace platform
