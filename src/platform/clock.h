#pragma once

#include <string>
#include <string_view>

namespace platform {

struct TimeOfDay
{
    int hour = 0; // 0 to 23
    int minute = 0;
    int second = 0;
};

struct DateTime
{
    int year = 0;
    int month = 1;
    int day = 1;
    TimeOfDay time;
};

// The local clock, and the two forms in which the program writes its
// readings, both after the user's locale.
class Clock
{
public:
    Clock() = default;
    virtual ~Clock() = default;
    Clock(const Clock &) = delete;
    Clock &operator=(const Clock &) = delete;

    // The local time of day, without a date.
    virtual TimeOfDay currentTime() const = 0;
    // The local date and time.
    virtual DateTime currentDateTime() const = 0;
    // The "Medium Time" form: two-digit 12-hour hours, two-digit minutes, a
    // space and the locale's AM or PM designator ("09:05 PM").
    virtual std::u16string formatMediumTime(TimeOfDay time) const = 0;
    // The general date form: the locale's short date, a space and the time
    // with seconds ("08/12/2026 21:07:30").
    virtual std::u16string formatGeneralDate(const DateTime &dateTime) const = 0;
};

} // namespace platform
