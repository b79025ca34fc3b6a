#pragma once

#include "platform/network.h"

#include <mutex>

namespace win32platform {

// Names and datagrams through Winsock 2, one socket for each datagram.
// Winsock is started with the first lookup, not before: the window shows
// first. Safe from any thread.
class Win32Network final : public platform::Network
{
public:
    Win32Network() = default;
    ~Win32Network() override;

    std::vector<platform::NetworkAddress> resolve(const std::u16string &host, std::uint16_t port) override;
    void sendTo(const platform::NetworkAddress &address, std::string_view payload) override;

private:
    void startWinsock();

    std::mutex m_mutex;
    bool m_started = false; // under m_mutex
};

} // namespace win32platform
