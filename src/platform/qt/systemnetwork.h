#pragma once

#include "platform/network.h"

namespace qtplatform {

// POSIX datagram sockets, one per datagram, text in the locale's encoding.
class SystemNetwork : public platform::Network
{
public:
    std::string encode(std::u16string_view text) const override;
    void sendDatagram(const std::u16string &host, std::uint16_t port, const std::string &payload) override;
};

} // namespace qtplatform
