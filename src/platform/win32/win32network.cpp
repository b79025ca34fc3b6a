#include "platform/win32/win32network.h"

#include "platform/win32/win32backgroundsends.h"
#include "core/sendhandoff.h"
#include "platform/win32/widetext.h"
#include "reply/socketerrors.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <new>
#include <vector>

namespace win32platform {

namespace {

namespace socketerrors = reply::socketerrors;

// The socket's numbers are Winsock's own.
static_assert(WSAEACCES == socketerrors::AccessDenied);
static_assert(WSAEMSGSIZE == socketerrors::MessageTooBig);
static_assert(WSAEADDRNOTAVAIL == socketerrors::AddressNotAvailable);
static_assert(WSAENETDOWN == socketerrors::NetworkDown);
static_assert(WSAENETUNREACH == socketerrors::NetworkUnreachable);
static_assert(WSAENOBUFS == socketerrors::NoBufferSpace);
static_assert(WSAEHOSTUNREACH == socketerrors::HostUnreachable);
static_assert(WSAHOST_NOT_FOUND == socketerrors::HostNotFound);
static_assert(WSATRY_AGAIN == socketerrors::HostNotFoundTryAgain);

core::Error sendError(int code)
{
    switch (code) {
    case WSAEACCES:
    case WSAEMSGSIZE:
    case WSAEADDRNOTAVAIL:
    case WSAENETUNREACH:
    case WSAENOBUFS:
    case WSAEHOSTUNREACH:
        return socketerrors::sendFailed(code);
    case WSAEAFNOSUPPORT:
        return socketerrors::sendFailed(socketerrors::AddressNotAvailable);
    }
    return socketerrors::sendFailed(socketerrors::NetworkDown, code);
}

struct AddressListDeleter
{
    void operator()(ADDRINFOW *list) const { FreeAddrInfoW(list); }
};
using AddressList = std::unique_ptr<ADDRINFOW, AddressListDeleter>;

AddressList resolve(const std::u16string &host, std::uint16_t port)
{
    // A name with a NUL in it would be cut short at the NUL: it names no host.
    if (host.find(u'\0') != std::u16string::npos)
        throw socketerrors::hostNotFound(host, false);
    ADDRINFOW hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_DGRAM;
    hints.ai_protocol = IPPROTO_UDP;
    hints.ai_flags = AI_NUMERICSERV;
    ADDRINFOW *list = nullptr;
    const int status = GetAddrInfoW(wide(host).c_str(), std::to_wstring(port).c_str(), &hints, &list);
    if (status != 0 || !list)
        throw socketerrors::hostNotFound(host, status == WSATRY_AGAIN);
    return AddressList(list);
}

// The IPv4 addresses first, then the rest, each in the system's order. The
// messaging system's peers listen on IPv4; the system would put ::1 before
// 127.0.0.1 for "localhost", and a datagram sent where nobody listens is
// still sent, so the answer would be lost without an error. A name with
// IPv6 addresses only keeps them all.
std::vector<const ADDRINFOW *> inSendingOrder(const ADDRINFOW *list)
{
    std::vector<const ADDRINFOW *> addresses;
    for (; list; list = list->ai_next)
        addresses.push_back(list);
    std::stable_partition(addresses.begin(), addresses.end(),
                          [](const ADDRINFOW *address) { return address->ai_family == AF_INET; });
    return addresses;
}

// One socket per datagram, closed as soon as the datagram is with the system.
int sendTo(const ADDRINFOW &address, const std::string &payload)
{
    const SOCKET socket = ::socket(address.ai_family, address.ai_socktype, address.ai_protocol);
    if (socket == INVALID_SOCKET)
        return WSAGetLastError();
    const int sent = ::sendto(socket, payload.data(), int(payload.size()), 0, address.ai_addr, int(address.ai_addrlen));
    const int sendError = sent == SOCKET_ERROR ? WSAGetLastError() : 0;
    ::closesocket(socket);
    return sendError;
}

// The first address in sending order that takes the datagram gets it, and
// only that one.
platform::SendOutcome sendToFirstTaker(const AddressList &addresses, const std::string &payload)
{
    int lastError = 0;
    for (const ADDRINFOW *address : inSendingOrder(addresses.get())) {
        lastError = sendTo(*address, payload);
        if (lastError == 0)
            return std::nullopt;
    }
    return sendError(lastError);
}

} // namespace

Win32Network::Win32Network() = default;

Win32Network::~Win32Network()
{
    if (m_started)
        WSACleanup();
}

void Win32Network::startWinsock()
{
    if (m_started)
        return;
    WSADATA data;
    const int status = WSAStartup(MAKEWORD(2, 2), &data);
    if (status != 0)
        throw sendError(status);
    m_started = true;
}

void Win32Network::sendDatagram(const std::u16string &host, std::uint16_t port, const std::string &payload)
{
    if (payload.size() > std::size_t(INT_MAX))
        throw socketerrors::sendFailed(socketerrors::MessageTooBig);
    startWinsock();
    if (const platform::SendOutcome refused = sendToFirstTaker(resolve(host, port), payload))
        throw *refused;
}

std::unique_ptr<platform::PendingSend> Win32Network::startSending(const std::u16string &host, std::uint16_t port,
                                                                  std::string payload,
                                                                  std::function<void(platform::SendOutcome)> done)
{
    if (payload.size() > std::size_t(INT_MAX))
        throw socketerrors::sendFailed(socketerrors::MessageTooBig);
    startWinsock();
    if (!m_sends)
        m_sends = std::make_unique<Win32BackgroundSends>();
    // The thread owns copies of what it needs: it may outlive the window.
    auto work = [host, port, payload = std::move(payload)](platform::SendHandoff &handoff,
                                                           const std::function<void()> &wake) {
        platform::resolveThenSettle(
            handoff, wake, [&] { return resolve(host, port); },
            [&](const AddressList &addresses) { return sendToFirstTaker(addresses, payload); });
    };
    return m_sends->start(host, std::move(work), std::move(done));
}

} // namespace win32platform
