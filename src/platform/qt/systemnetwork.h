#pragma once

#include "platform/network.h"

#include <memory>

namespace qtplatform {

class BackgroundSends;

// POSIX datagram sockets, one per datagram. A send started without waiting
// runs on a thread of its own, and its outcome comes back through the Qt
// event loop of the thread that started it.
class SystemNetwork : public platform::Network
{
public:
    SystemNetwork();
    ~SystemNetwork() override;

    void sendDatagram(const std::u16string &host, std::uint16_t port, const std::string &payload) override;
    std::unique_ptr<platform::PendingSend> startSending(const std::u16string &host, std::uint16_t port,
                                                        std::string payload,
                                                        std::function<void(platform::SendOutcome)> done) override;

private:
    std::unique_ptr<BackgroundSends> m_sends;
};

} // namespace qtplatform
