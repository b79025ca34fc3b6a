#pragma once

#include "platform/network.h"

#include <memory>
#include <mutex>

namespace win32platform {

// Names and datagrams through Winsock 2, one socket for each datagram.
// Winsock is loaded and started with the first lookup, not before: the
// window shows first, and a run that sends nothing never loads it. Safe
// from any thread.
class Win32Network final : public platform::Network
{
public:
    Win32Network();
    ~Win32Network() override;

    std::vector<platform::NetworkAddress> resolve(const std::u16string &host, std::uint16_t port) override;
    void sendTo(const platform::NetworkAddress &address, std::string_view payload) override;

private:
    struct Winsock;
    const Winsock &startWinsock();

    std::mutex m_mutex;
    std::unique_ptr<const Winsock> m_winsock; // under m_mutex; started once set
};

} // namespace win32platform
