#include "reply/datagramsocket.h"

#include "platform/network.h"
#include "reply/socketerrors.h"

namespace reply {

void DatagramSocket::setRemotePort(std::int32_t port)
{
    if (port < 1 || port > 65535)
        throw socketerrors::invalidPort(port);
    m_remotePort = port;
}

void DatagramSocket::SendData(std::string_view data)
{
    if (m_remoteHost.empty())
        throw socketerrors::noRemoteHost();
    if (m_remotePort == 0)
        throw socketerrors::invalidPort(m_remotePort);
    m_network.sendDatagram(m_remoteHost, std::uint16_t(m_remotePort), std::string(data));
}

} // namespace reply
