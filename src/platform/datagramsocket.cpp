#include "platform/datagramsocket.h"

#include "platform/network.h"
#include "platform/services.h"
#include "platform/socketerrors.h"

#include <QStringEncoder>

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
    // Stateless, as the file is decoded: a character cut short at the end is
    // sent as a replacement, not dropped.
    QStringEncoder encode(QStringConverter::System, QStringConverter::Flag::Stateless);
    const QByteArray payload = encode(data);
    network().sendDatagram(m_remoteHost, quint16(m_remotePort), payload);
}

} // namespace platform
