#pragma once

#include <QString>
#include <QtGlobal>

namespace platform {

// A datagram socket control: set the remote host and port, then send. No
// connection, binding or closing around a send; nothing is ever received.
class DatagramSocket
{
public:
    const QString &RemoteHost() const { return m_remoteHost; }
    void setRemoteHost(const QString &host) { m_remoteHost = host; }

    qint32 RemotePort() const { return m_remotePort; }
    // Raises error 380 for a port outside 1 to 65535; the port set before stays.
    void setRemotePort(qint32 port);

    // Sends data, encoded as the locale encodes text (as the notification
    // file is decoded), as one datagram to the remote host and port. Returns
    // once the datagram is with the system; raises an Error if there is no
    // host, the host cannot be found or the system refuses the datagram.
    void SendData(const QString &data);

private:
    QString m_remoteHost;
    qint32 m_remotePort = 0;
};

} // namespace platform
