#pragma once

#include "platform/network.h"

namespace win32platform {

// Datagrams through Winsock 2, one socket for each, to a name's IPv4
// address first, the text in the ANSI code page. Winsock is started with
// the first datagram.
class Win32Network final : public platform::Network
{
public:
    Win32Network() = default;
    ~Win32Network() override;

    void sendDatagram(const std::u16string &host, std::uint16_t port, const std::string &payload) override;

private:
    void startWinsock();

    bool m_started = false;
};

} // namespace win32platform
