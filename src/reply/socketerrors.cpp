#include "reply/socketerrors.h"

#include "platform/unicode.h"
#include "ui/texts.h"

namespace reply::socketerrors {

namespace {

platform::Error socketError(std::int32_t number, std::u16string description)
{
    return platform::Error(number, std::move(description), std::u16string(texts::SocketSource));
}

} // namespace

std::u16string shortenedForDescription(std::u16string_view text)
{
    if (text.size() <= texts::DescriptionArgumentLimit)
        return std::u16string(text);
    std::size_t kept = texts::DescriptionArgumentLimit - 1;
    // A character outside the BMP is not split between its two halves.
    if (text[kept - 1] >= 0xD800 && text[kept - 1] <= 0xDBFF)
        --kept;
    return std::u16string(text.substr(0, kept)) + texts::DescriptionEllipsis;
}

platform::Error fieldsTooLong()
{
    return socketError(MessageTooBig, std::u16string(texts::FieldsTooLongDescription));
}

platform::Error invalidPort(std::int32_t port)
{
    return socketError(InvalidPropertyValue,
                       unicode::substitute(texts::errorDescription(InvalidPropertyValue), unicode::decimal(port)));
}

platform::Error noRemoteHost()
{
    return socketError(AddressNotAvailable, std::u16string(texts::NoRemoteHostDescription));
}

platform::Error hostNotFound(std::u16string_view host, bool tryAgain)
{
    const Number number = tryAgain ? HostNotFoundTryAgain : HostNotFound;
    return socketError(number, unicode::substitute(texts::errorDescription(number), shortenedForDescription(host)));
}

platform::Error sendFailed(std::int32_t number, std::int64_t systemCode)
{
    if (number == NetworkDown)
        return socketError(number, unicode::substitute(texts::SendFailedDescription, unicode::decimal(systemCode)));
    return socketError(number, std::u16string(texts::errorDescription(number)));
}

} // namespace reply::socketerrors
