#pragma once

#include "platform/clock.h"

#include <QLocale>

namespace qtplatform {

// The local clock, its readings written after a locale: the user's, unless
// another is given.
class SystemClock : public platform::Clock
{
public:
    explicit SystemClock(QLocale locale = QLocale::system()) : m_locale(std::move(locale)) {}

    platform::TimeOfDay currentTime() const override;
    platform::DateTime currentDateTime() const override;
    std::u16string formatMediumTime(platform::TimeOfDay time) const override;
    std::u16string formatGeneralDate(const platform::DateTime &dateTime) const override;

private:
    QLocale m_locale;
};

} // namespace qtplatform
