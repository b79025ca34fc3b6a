#pragma once

#include "platform/clock.h"

#include <string>
#include <string_view>

namespace core {

// The "Medium Time" form, given the locale's two designators: two-digit
// 12-hour hours, two-digit minutes, a space and the designator ("09:05 PM").
std::u16string mediumTime(platform::TimeOfDay time, std::u16string_view am, std::u16string_view pm);

} // namespace core
