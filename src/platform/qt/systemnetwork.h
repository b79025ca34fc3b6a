#pragma once

#include "platform/network.h"

namespace qtplatform {

// POSIX datagram sockets, one per datagram.
class SystemNetwork : public platform::Network
{
public:
    void sendDatagram(const std::u16string &host, std::uint16_t port, const std::string &payload) override;
};

} // namespace qtplatform
