#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Hands datagrams to the operating system.
class Network
{
public:
    Network() = default;
    virtual ~Network() = default;
    Network(const Network &) = delete;
    Network &operator=(const Network &) = delete;

    // Sends one datagram to host (a name, an IPv4 or an IPv6 address) and
    // port, from an address and port the system picks. Returns once the
    // datagram is with the system; raises an Error (source "MensajeEnviar")
    // if the host cannot be resolved or the system refuses the datagram.
    virtual void sendDatagram(const std::u16string &host, std::uint16_t port, const std::string &payload) = 0;
};

} // namespace platform
