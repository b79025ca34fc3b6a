#include "platform/win32/win32clock.h"

#include "platform/win32/widetext.h"
#include "core/timeformat.h"

#include <windows.h>

namespace win32platform {

namespace {

// The locale's texts and formats are asked for their length first.
template<typename Ask>
std::u16string askedText(Ask ask)
{
    const int length = ask(nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring text(std::size_t(length), L'\0');
    ask(text.data(), length);
    text.resize(std::size_t(length - 1));
    return utf16(text);
}

std::u16string localeText(LCTYPE type)
{
    return askedText([&](wchar_t *buffer, int size) {
        return GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, buffer, size);
    });
}

platform::TimeOfDay timeOf(const SYSTEMTIME &time)
{
    return {time.wHour, time.wMinute, time.wSecond};
}

} // namespace

platform::TimeOfDay Win32Clock::currentTime() const
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return timeOf(now);
}

platform::DateTime Win32Clock::currentDateTime() const
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, timeOf(now)};
}

std::u16string Win32Clock::formatMediumTime(platform::TimeOfDay time) const
{
    return core::mediumTime(time, localeText(LOCALE_S1159), localeText(LOCALE_S2359));
}

std::u16string Win32Clock::formatGeneralDate(const platform::DateTime &dateTime) const
{
    SYSTEMTIME time{};
    time.wYear = WORD(dateTime.year);
    time.wMonth = WORD(dateTime.month);
    time.wDay = WORD(dateTime.day);
    time.wHour = WORD(dateTime.time.hour);
    time.wMinute = WORD(dateTime.time.minute);
    time.wSecond = WORD(dateTime.time.second);
    const std::u16string date = askedText([&](wchar_t *buffer, int size) {
        return GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, buffer, size, nullptr);
    });
    const std::u16string clock = askedText([&](wchar_t *buffer, int size) {
        return GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &time, nullptr, buffer, size);
    });
    return date + u' ' + clock;
}

} // namespace win32platform
