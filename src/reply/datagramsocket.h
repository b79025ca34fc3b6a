#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {
class Network;
}

namespace reply {

// The datagram socket control MensajeEnviar: set the remote host and port,
// then send. No connection, binding or closing around a send; nothing is
// ever received.
class DatagramSocket
{
public:
    explicit DatagramSocket(platform::Network &network) : m_network(network) {}

    const std::u16string &RemoteHost() const { return m_remoteHost; }
    void setRemoteHost(std::u16string host) { m_remoteHost = std::move(host); }

    std::int32_t RemotePort() const { return m_remotePort; }
    // Raises error 380 for a port outside 1 to 65535; the port set before stays.
    void setRemotePort(std::int32_t port);

    // Sends the bytes as one datagram to the remote host and port. Returns once the datagram is with the system;
    // raises an Error if there is no host, the host cannot be found or the
    // system refuses the datagram.
    void SendData(std::string_view data);

private:
    platform::Network &m_network;
    std::u16string m_remoteHost;
    std::int32_t m_remotePort = 0;
};

} // namespace reply
