#include "platform/error.h"

#include "platform/unicode.h"
#include "ui/texts.h"

namespace platform {

Error::Error(std::int32_t number, std::u16string description, std::u16string source)
    : m_number(number)
    , m_description(std::move(description))
    , m_source(std::move(source))
    , m_what(unicode::toUtf8(unicode::decimal(number) + u": " + m_description + u" (" + m_source + u")"))
{
}

Error Error::fromNumber(std::int32_t number, std::u16string source)
{
    if (source.empty())
        source = texts::ProgramSource;
    return Error(number, std::u16string(texts::errorDescription(number)), std::move(source));
}

} // namespace platform
