#include "core/timeformat.h"

namespace core {

namespace {

void appendTwoDigits(std::u16string &text, int value)
{
    text += char16_t(u'0' + value / 10 % 10);
    text += char16_t(u'0' + value % 10);
}

} // namespace

std::u16string mediumTime(platform::TimeOfDay time, std::u16string_view am, std::u16string_view pm)
{
    const int hour12 = time.hour % 12 == 0 ? 12 : time.hour % 12;
    std::u16string text;
    appendTwoDigits(text, hour12);
    text += u':';
    appendTwoDigits(text, time.minute);
    text += u' ';
    text += time.hour < 12 ? am : pm;
    return text;
}

} // namespace core
