#pragma once

#include "platform/clock.h"

#include <QLocale>

#include <optional>

namespace qtplatform {

// The local clock, its readings written after a locale: the user's, unless
// another is given.
class SystemClock : public platform::Clock
{
public:
    SystemClock() = default;
    explicit SystemClock(QLocale locale) : m_locale(std::move(locale)) {}

    platform::TimeOfDay currentTime() const override;
    platform::DateTime currentDateTime() const override;
    std::u16string formatMediumTime(platform::TimeOfDay time) const override;
    std::u16string formatGeneralDate(const platform::DateTime &dateTime) const override;

private:
    // The user's locale is asked for only when a reading is written: a run
    // with no notification never pays for loading it.
    QLocale locale() const { return m_locale.value_or(QLocale::system()); }

    std::optional<QLocale> m_locale;
};

} // namespace qtplatform
