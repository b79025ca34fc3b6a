#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace platform {

// Hands datagrams to the operating system.
class Network
{
public:
    virtual ~Network() = default;

    // Sends one datagram to host (a name, an IPv4 or an IPv6 address) and
    // port, from an address and port the system picks. Returns once the
    // datagram is with the system; raises an Error (source "MensajeEnviar")
    // if the host cannot be resolved or the system refuses the datagram.
    virtual void sendDatagram(const QString &host, quint16 port, const QByteArray &payload) = 0;
};

class SystemNetwork : public Network
{
public:
    void sendDatagram(const QString &host, quint16 port, const QByteArray &payload) override;
};

} // namespace platform
