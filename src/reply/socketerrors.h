#pragma once

#include "platform/error.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The errors the datagram socket raises: its own numbers (those of the
// Windows sockets where they have one), Spanish descriptions, and the
// socket's name as their source. Each platform maps its system's failures
// onto these.
namespace reply::socketerrors {

enum Number : std::int32_t {
    InvalidPropertyValue = 380,
    AccessDenied = 10013,
    MessageTooBig = 10040,
    AddressNotAvailable = 10049,
    NetworkDown = 10050,
    NetworkUnreachable = 10051,
    NoBufferSpace = 10055,
    HostUnreachable = 10065,
    HostNotFound = 11001,
    HostNotFoundTryAgain = 11002,
};

// The most a datagram can carry: the payload of a UDP datagram over IPv4.
inline constexpr std::size_t LargestDatagram = 65507;

platform::Error invalidPort(std::int32_t port);
platform::Error noRemoteHost();
platform::Error hostNotFound(std::u16string_view host, bool tryAgain);
// The host as a description carries it: at most
// texts::DescriptionArgumentLimit characters, the ellipsis included.
std::u16string shortenedForDescription(std::u16string_view text);
// A datagram refused as too large whose fields alone, without any answer,
// take all a datagram can carry.
platform::Error fieldsTooLong();
// A send the system refused: a number above, or for a refusal with no number
// of its own, NetworkDown with the system's code in the description.
platform::Error sendFailed(std::int32_t number, std::int64_t systemCode = 0);

} // namespace reply::socketerrors
