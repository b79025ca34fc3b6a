#pragma once

#include "platform/network.h"

namespace qtplatform {

// The C library's resolver and POSIX datagram sockets, one per datagram.
// Holds nothing: safe from any thread.
class SystemNetwork final : public platform::Network
{
public:
    std::vector<platform::NetworkAddress> resolve(const std::u16string &host, std::uint16_t port) override;
    void sendTo(const platform::NetworkAddress &address, std::string_view payload) override;
};

} // namespace qtplatform
