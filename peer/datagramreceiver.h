#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// A UDP socket bound to a local address and port, from which datagrams are
// read one at a time: the messaging system's side of an answer.
class DatagramReceiver
{
public:
    struct Datagram
    {
        QByteArray payload;
        QString fromHost;
        quint16 fromPort = 0;
    };

    // Binds to address (an IPv4 or IPv6 literal) and port; port 0 lets the
    // system pick one. isOpen() tells whether it worked, errorString() why not.
    DatagramReceiver(const QString &address, quint16 port);
    ~DatagramReceiver();
    DatagramReceiver(const DatagramReceiver &) = delete;
    DatagramReceiver &operator=(const DatagramReceiver &) = delete;

    bool isOpen() const { return m_socket >= 0; }
    const QString &errorString() const { return m_error; }
    quint16 port() const { return m_port; }

    // The next datagram, whole; nothing if none arrives within timeoutMs
    // milliseconds (a negative timeout waits for ever).
    std::optional<Datagram> receive(int timeoutMs);

private:
    int m_socket = -1;
    quint16 m_port = 0;
    QString m_error;
};
