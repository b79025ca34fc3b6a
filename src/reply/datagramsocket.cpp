#include "reply/datagramsocket.h"

#include "reply/socketerrors.h"

namespace reply {

void DatagramSocket::setRemotePort(std::int32_t port)
{
    if (port < 1 || port > 65535)
        throw socketerrors::invalidPort(port);
    m_remotePort = port;
}

void DatagramSocket::SendData(std::string_view data, std::function<void(SendOutcome)> sent)
{
    if (m_remoteHost.empty())
        throw socketerrors::noRemoteHost();
    if (m_remotePort == 0)
        throw socketerrors::invalidPort(m_remotePort);
    m_sending.reset();
    m_sending =
        std::make_unique<BackgroundSend>(m_platform, m_remoteHost, std::uint16_t(m_remotePort), std::string(data),
                                         [this, sent = std::move(sent)](SendOutcome outcome) {
                                             m_sending.reset();
                                             sent(std::move(outcome));
                                         });
}

} // namespace reply
