#pragma once

#include "platform/clock.h"

namespace win32platform {

// The local clock, written in the forms of the user's locale settings.
class Win32Clock final : public platform::Clock
{
public:
    platform::TimeOfDay currentTime() const override;
    platform::DateTime currentDateTime() const override;
    // With the locale's own AM and PM designators.
    std::u16string formatMediumTime(platform::TimeOfDay time) const override;
    // The locale's short date and long time.
    std::u16string formatGeneralDate(const platform::DateTime &dateTime) const override;
};

} // namespace win32platform
