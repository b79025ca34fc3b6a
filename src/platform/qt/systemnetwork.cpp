#include "platform/qt/systemnetwork.h"

#include "platform/qt/backgroundsends.h"
#include "core/sendhandoff.h"
#include "core/unicode.h"
#include "reply/socketerrors.h"

#include <cerrno>
#include <memory>
#include <new>
#include <vector>

#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

namespace qtplatform {

namespace {

namespace socketerrors = reply::socketerrors;

struct AddressListDeleter
{
    void operator()(addrinfo *list) const { freeaddrinfo(list); }
};
using AddressList = std::unique_ptr<addrinfo, AddressListDeleter>;

AddressList resolve(const std::u16string &host, std::uint16_t port)
{
    // A name with a NUL in it would be cut short at the NUL: it names no host.
    if (host.find(u'\0') != std::u16string::npos)
        throw socketerrors::hostNotFound(host, false);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_DGRAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo *list = nullptr;
    const int status = getaddrinfo(unicode::toUtf8(host).c_str(), std::to_string(port).c_str(), &hints, &list);
    if (status != 0 || !list)
        throw socketerrors::hostNotFound(host, status == EAI_AGAIN);
    return AddressList(list);
}

// One socket per datagram, closed as soon as the datagram is with the system.
int sendTo(const addrinfo &address, const std::string &payload)
{
    const int socket = ::socket(address.ai_family, address.ai_socktype | SOCK_CLOEXEC, address.ai_protocol);
    if (socket < 0)
        return errno;
    const ssize_t sent =
        ::sendto(socket, payload.data(), payload.size(), MSG_NOSIGNAL, address.ai_addr, address.ai_addrlen);
    const int sendError = sent < 0 ? errno : 0;
    ::close(socket);
    return sendError;
}

core::Error refusal(int errorNumber)
{
    switch (errorNumber) {
    case EACCES:
    case EPERM:
        return socketerrors::sendFailed(socketerrors::AccessDenied);
    case EMSGSIZE:
        return socketerrors::sendFailed(socketerrors::MessageTooBig);
    case EADDRNOTAVAIL:
    case EAFNOSUPPORT:
        return socketerrors::sendFailed(socketerrors::AddressNotAvailable);
    case ENETUNREACH:
        return socketerrors::sendFailed(socketerrors::NetworkUnreachable);
    case ENOBUFS:
    case ENOMEM:
        return socketerrors::sendFailed(socketerrors::NoBufferSpace);
    case EHOSTUNREACH:
        return socketerrors::sendFailed(socketerrors::HostUnreachable);
    }
    return socketerrors::sendFailed(socketerrors::NetworkDown, errorNumber);
}

// The messaging system's peers listen on IPv4, and a name with addresses of
// both families (localhost among them) lists its IPv6 one first: the IPv4
// addresses are tried first, each family in the system's order. The first
// address that takes the datagram gets it, and only that one.
platform::SendOutcome sendToFirstTaker(const AddressList &addresses, const std::string &payload)
{
    std::vector<const addrinfo *> ordered;
    for (const addrinfo *address = addresses.get(); address; address = address->ai_next) {
        if (address->ai_family == AF_INET)
            ordered.push_back(address);
    }
    for (const addrinfo *address = addresses.get(); address; address = address->ai_next) {
        if (address->ai_family != AF_INET)
            ordered.push_back(address);
    }
    int lastError = 0;
    for (const addrinfo *address : ordered) {
        lastError = sendTo(*address, payload);
        if (lastError == 0)
            return std::nullopt;
    }
    return refusal(lastError);
}

} // namespace

void SystemNetwork::sendDatagram(const std::u16string &host, std::uint16_t port, const std::string &payload)
{
    if (const platform::SendOutcome refused = sendToFirstTaker(resolve(host, port), payload))
        throw *refused;
}

std::unique_ptr<platform::PendingSend> SystemNetwork::startSending(const std::u16string &host, std::uint16_t port,
                                                                   std::string payload,
                                                                   std::function<void(platform::SendOutcome)> done)
{
    if (!m_sends)
        m_sends = std::make_unique<BackgroundSends>();
    // The thread owns copies of what it needs: it may outlive the window.
    auto work = [host, port, payload = std::move(payload)](platform::SendHandoff &handoff,
                                                           const std::function<void()> &wake) {
        platform::resolveThenSettle(
            handoff, wake, [&] { return resolve(host, port); },
            [&](const AddressList &addresses) { return sendToFirstTaker(addresses, payload); });
    };
    return m_sends->start(host, std::move(work), std::move(done));
}

SystemNetwork::SystemNetwork() = default;
SystemNetwork::~SystemNetwork() = default;

} // namespace qtplatform
