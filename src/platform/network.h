#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

enum class AddressFamily { IPv4, IPv6, Other };

// One address a name resolved to, with the port: its family, the system's
// own form of it, which only the network that made it reads, and the
// address alone in network byte order (4 bytes for IPv4, 16 for IPv6, none
// for another family).
struct NetworkAddress
{
    AddressFamily family = AddressFamily::Other;
    std::string systemForm;
    std::string bytes;
};

// Names looked up and datagrams handed to the operating system. Both calls
// block, the lookup as long as the name servers take, and both are safe to
// make from any thread at once: they are made on a thread of the send's
// own, never on the window's.
class Network
{
public:
    Network() = default;
    virtual ~Network() = default;
    Network(const Network &) = delete;
    Network &operator=(const Network &) = delete;

    // The addresses of host (a name, an IPv4 or an IPv6 address; never one
    // with a NUL) for datagrams to port, at least one, in the system's
    // order. Raises a SystemFailure: HostNotFound, HostNotFoundTryAgain if
    // the name servers gave no answer in time.
    virtual std::vector<NetworkAddress> resolve(const std::u16string &host, std::uint16_t port) = 0;

    // Sends one datagram to address, from an address and port the system
    // picks, through a socket of its own closed at once. Returns once the
    // datagram is with the system; raises a SystemFailure if the system
    // refuses it.
    virtual void sendTo(const NetworkAddress &address, std::string_view payload) = 0;
};

} // namespace platform
