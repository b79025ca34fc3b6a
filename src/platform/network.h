#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// Hands datagrams to the operating system.
class Network
{
public:
    Network() = default;
    virtual ~Network() = default;
    Network(const Network &) = delete;
    Network &operator=(const Network &) = delete;

    // The text as bytes in the system's default encoding for text, as the
    // notification file is decoded; what it cannot encode is replaced.
    virtual std::string encode(std::u16string_view text) const = 0;
    // Sends one datagram to host (a name, an IPv4 or an IPv6 address) and
    // port, from an address and port the system picks. Returns once the
    // datagram is with the system; raises an Error (source "MensajeEnviar")
    // if the host cannot be resolved or the system refuses the datagram.
    virtual void sendDatagram(const std::u16string &host, std::uint16_t port, const std::string &payload) = 0;
};

} // namespace platform
