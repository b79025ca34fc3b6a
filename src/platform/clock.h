#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QTime>

namespace platform {

class Clock
{
public:
    virtual ~Clock() = default;

    // The local time of day, without a date.
    virtual QTime currentTime() const = 0;
    // The local date and time.
    virtual QDateTime currentDateTime() const = 0;
};

class SystemClock : public Clock
{
public:
    QTime currentTime() const override;
    QDateTime currentDateTime() const override;
};

// The "Medium Time" form: two-digit 12-hour hours, two-digit minutes, a space
// and the locale's AM or PM text ("09:05 PM").
QString formatMediumTime(QTime time, const QLocale &locale = QLocale::system());

// A date and time as the run-time turns one into text: the locale's short
// date, a space and the time with seconds ("08/12/2026 21:07:30"). It never
// holds a ";", so it can stand as a field of a record.
QString formatGeneralDate(const QDateTime &dateTime, const QLocale &locale = QLocale::system());

} // namespace platform
