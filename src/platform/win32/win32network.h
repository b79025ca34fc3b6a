#pragma once

#include "platform/network.h"

#include <memory>

namespace win32platform {

class Win32BackgroundSends;

// Datagrams through Winsock 2, one socket for each, to a name's IPv4
// address first, the text in the ANSI code page. Winsock is started with
// the first datagram. A send started without waiting runs on a thread of its
// own, its outcome posted back to the thread that started it.
class Win32Network final : public platform::Network
{
public:
    Win32Network();
    ~Win32Network() override;

    void sendDatagram(const std::u16string &host, std::uint16_t port, const std::string &payload) override;
    std::unique_ptr<platform::PendingSend> startSending(const std::u16string &host, std::uint16_t port,
                                                        std::string payload,
                                                        std::function<void(platform::SendOutcome)> done) override;

private:
    void startWinsock();

    bool m_started = false;
    std::unique_ptr<Win32BackgroundSends> m_sends;
};

} // namespace win32platform
