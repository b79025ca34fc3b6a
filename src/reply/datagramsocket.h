#pragma once

#include "reply/backgroundsend.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace platform {
class Platform;
}

namespace reply {

// The datagram socket control MensajeEnviar: set the remote host and port,
// then send. No connection, binding or closing around a send; nothing is
// ever received.
class DatagramSocket
{
public:
    explicit DatagramSocket(platform::Platform &platform) : m_platform(platform) {}

    const std::u16string &RemoteHost() const { return m_remoteHost; }
    void setRemoteHost(std::u16string host) { m_remoteHost = std::move(host); }

    std::int32_t RemotePort() const { return m_remotePort; }
    // Raises error 380 for a port outside 1 to 65535; the port set before stays.
    void setRemotePort(std::int32_t port);

    // Starts sending the bytes as one datagram to the remote host and port,
    // and returns at once: finding the host may take as long as the name
    // servers do, and the window goes on meanwhile. sent gets the outcome
    // later, from the event loop: nothing once the datagram is with the
    // system, or the Error if the host cannot be found in time or the system
    // refuses the datagram. Raises an Error at once, sending nothing, if
    // there is no host or port.
    void SendData(std::string_view data, std::function<void(SendOutcome)> sent);

    // Whether a send is under way: started and its outcome not yet come.
    bool isSending() const { return m_sending != nullptr; }
    // Gives up the send under way, if any: what has not left stays unsent,
    // and its outcome never comes.
    void abandonSend() { m_sending.reset(); }

private:
    platform::Platform &m_platform;
    std::unique_ptr<BackgroundSend> m_sending;
    std::u16string m_remoteHost;
    std::int32_t m_remotePort = 0;
};

} // namespace reply
