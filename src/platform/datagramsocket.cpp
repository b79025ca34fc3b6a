#include "platform/datagramsocket.h"

#include "platform/localtext.h"
#include "platform/network.h"
#include "platform/services.h"
#include "platform/socketerrors.h"

namespace platform {

void DatagramSocket::setRemotePort(qint32 port)
{
    if (port < 1 || port > 65535)
        throw socketerrors::invalidPort(port);
    m_remotePort = port;
}

void DatagramSocket::SendData(const QString &data)
{
    if (m_remoteHost.isEmpty())
        throw socketerrors::noRemoteHost();
    if (m_remotePort == 0)
        throw socketerrors::invalidPort(m_remotePort);
    network().sendDatagram(m_remoteHost, quint16(m_remotePort), encodeLocalText(data));
}

} // namespace platform
