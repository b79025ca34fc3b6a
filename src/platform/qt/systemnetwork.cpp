#include "platform/qt/systemnetwork.h"

#include "core/unicode.h"
#include "platform/failure.h"

#include <cerrno>
#include <cstring>
#include <memory>

#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

namespace qtplatform {

namespace {

using platform::FailureKind;

struct AddressListDeleter
{
    void operator()(addrinfo *list) const { freeaddrinfo(list); }
};

platform::NetworkAddress networkAddress(const addrinfo &found)
{
    const std::string systemForm(reinterpret_cast<const char *>(found.ai_addr), found.ai_addrlen);
    if (found.ai_family == AF_INET && found.ai_addrlen >= sizeof(sockaddr_in)) {
        const auto &address = reinterpret_cast<const sockaddr_in *>(found.ai_addr)->sin_addr;
        return {platform::AddressFamily::IPv4, systemForm,
                std::string(reinterpret_cast<const char *>(&address), sizeof address)};
    }
    if (found.ai_family == AF_INET6 && found.ai_addrlen >= sizeof(sockaddr_in6)) {
        const auto &address = reinterpret_cast<const sockaddr_in6 *>(found.ai_addr)->sin6_addr;
        return {platform::AddressFamily::IPv6, systemForm,
                std::string(reinterpret_cast<const char *>(&address), sizeof address)};
    }
    return {platform::AddressFamily::Other, systemForm, {}};
}

platform::SystemFailure sendFailure(int errorNumber)
{
    switch (errorNumber) {
    case EACCES:
    case EPERM:
        return platform::SystemFailure(FailureKind::AccessDenied, errorNumber);
    case EMSGSIZE:
        return platform::SystemFailure(FailureKind::MessageTooBig, errorNumber);
    case EADDRNOTAVAIL:
    case EAFNOSUPPORT:
        return platform::SystemFailure(FailureKind::AddressNotAvailable, errorNumber);
    case ENETUNREACH:
        return platform::SystemFailure(FailureKind::NetworkUnreachable, errorNumber);
    case ENOBUFS:
    case ENOMEM:
        return platform::SystemFailure(FailureKind::OutOfMemory, errorNumber);
    case EHOSTUNREACH:
        return platform::SystemFailure(FailureKind::HostUnreachable, errorNumber);
    }
    return platform::SystemFailure(FailureKind::Other, errorNumber);
}

} // namespace

std::vector<platform::NetworkAddress> SystemNetwork::resolve(const std::u16string &host, std::uint16_t port)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_DGRAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo *found = nullptr;
    const int status = getaddrinfo(unicode::toUtf8(host).c_str(), std::to_string(port).c_str(), &hints, &found);
    const std::unique_ptr<addrinfo, AddressListDeleter> list(found);
    // Whatever else stops the resolver, the host is not found.
    if (status != 0 || !list)
        throw platform::SystemFailure(
            status == EAI_AGAIN ? FailureKind::HostNotFoundTryAgain : FailureKind::HostNotFound, status);
    std::vector<platform::NetworkAddress> addresses;
    for (const addrinfo *address = list.get(); address; address = address->ai_next)
        addresses.push_back(networkAddress(*address));
    return addresses;
}

void SystemNetwork::sendTo(const platform::NetworkAddress &address, std::string_view payload)
{
    sockaddr_storage to{};
    if (address.systemForm.size() > sizeof to)
        throw platform::SystemFailure(FailureKind::AddressNotAvailable);
    std::memcpy(&to, address.systemForm.data(), address.systemForm.size());
    const int socket = ::socket(to.ss_family, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (socket < 0)
        throw sendFailure(errno);
    const ssize_t sent = ::sendto(socket, payload.data(), payload.size(), MSG_NOSIGNAL,
                                  reinterpret_cast<const sockaddr *>(&to), socklen_t(address.systemForm.size()));
    const int sendError = sent < 0 ? errno : 0;
    ::close(socket);
    if (sendError != 0)
        throw sendFailure(sendError);
}

} // namespace qtplatform
