#pragma once

#include "core/error.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {
class SystemFailure;
}

// The errors the datagram socket raises: the catalogue's numbers and
// descriptions, with the socket's name as their source.
namespace reply::socketerrors {

// The most a datagram can carry: the payload of a UDP datagram over IPv4.
inline constexpr std::size_t LargestDatagram = 65507;

core::Error invalidPort(std::int32_t port);
core::Error noRemoteHost();
core::Error hostNotFound(std::u16string_view host, bool tryAgain);
// The host as a description carries it: at most
// texts::DescriptionArgumentLimit characters, the ellipsis included.
std::u16string shortenedForDescription(std::u16string_view text);
// A datagram refused as too large whose fields alone, without any answer,
// take all a datagram can carry.
core::Error fieldsTooLong();
// What a failure to find host or to send to it means to the socket.
core::Error fromFailure(const platform::SystemFailure &failure, std::u16string_view host);

} // namespace reply::socketerrors
