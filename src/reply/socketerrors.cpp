#include "reply/socketerrors.h"

#include "core/texts.h"
#include "core/unicode.h"
#include "platform/failure.h"

namespace reply::socketerrors {

namespace {

core::Error socketError(std::int32_t number, std::u16string description)
{
    return core::Error(number, std::move(description), std::u16string(texts::SocketSource));
}

core::Error withArgument(std::int32_t number, std::u16string_view argument)
{
    return socketError(number, unicode::substitute(core::describe(number), argument));
}

// A send the system refused: with the catalogue's description, or for a
// refusal with no number of its own, NetworkDown with the system's code.
core::Error sendFailed(std::int32_t number, std::int64_t systemCode = 0)
{
    if (number == core::Error::NetworkDown)
        return withArgument(number, unicode::decimal(systemCode));
    return socketError(number, std::u16string(core::describe(number)));
}

using enum core::Error::Number;

} // namespace

std::u16string shortenedForDescription(std::u16string_view text)
{
    if (text.size() <= texts::DescriptionArgumentLimit)
        return std::u16string(text);
    return std::u16string(unicode::cut(text, texts::DescriptionArgumentLimit - 1)) + texts::DescriptionEllipsis;
}

core::Error fieldsTooLong()
{
    return socketError(MessageTooBig, std::u16string(texts::FieldsTooLongDescription));
}

core::Error invalidPort(std::int32_t port)
{
    return withArgument(InvalidPropertyValue, unicode::decimal(port));
}

core::Error noRemoteHost()
{
    return socketError(AddressNotAvailable, std::u16string(texts::NoRemoteHostDescription));
}

core::Error hostNotFound(std::u16string_view host, bool tryAgain)
{
    return withArgument(tryAgain ? HostNotFoundTryAgain : HostNotFound, shortenedForDescription(host));
}

core::Error fromFailure(const platform::SystemFailure &failure, std::u16string_view host)
{
    using platform::FailureKind;
    switch (failure.kind()) {
    case FailureKind::HostNotFound:
        return hostNotFound(host, false);
    case FailureKind::HostNotFoundTryAgain:
        return hostNotFound(host, true);
    case FailureKind::AccessDenied:
        return sendFailed(AccessDenied);
    case FailureKind::MessageTooBig:
        return sendFailed(MessageTooBig);
    case FailureKind::AddressNotAvailable:
        return sendFailed(AddressNotAvailable);
    case FailureKind::NetworkUnreachable:
        return sendFailed(NetworkUnreachable);
    case FailureKind::OutOfMemory:
        return sendFailed(NoBufferSpace);
    case FailureKind::HostUnreachable:
        return sendFailed(HostUnreachable);
    default:
        return sendFailed(NetworkDown, failure.code());
    }
}

} // namespace reply::socketerrors
