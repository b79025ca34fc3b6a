#include "platform/win32/win32network.h"

#include "platform/failure.h"
#include "platform/win32/widetext.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <climits>
#include <cstring>
#include <memory>

namespace win32platform {

// Winsock's entry points, found in ws2_32.dll once it is loaded. Were they
// imported, the system would load the library, and all it brings up, before
// the window.
struct Win32Network::Winsock
{
    decltype(&::WSAStartup) startup;
    decltype(&::WSACleanup) cleanup;
    decltype(&::WSAGetLastError) lastError;
    decltype(&::GetAddrInfoW) getAddrInfo;
    decltype(&::FreeAddrInfoW) freeAddrInfo;
    decltype(&::socket) socket;
    decltype(&::sendto) sendTo;
    decltype(&::closesocket) closeSocket;
};

namespace {

using platform::FailureKind;

template<typename Function>
bool find(HMODULE library, const char *name, Function &function)
{
    // Through the generic function pointer type, which any other converts
    // to and from.
    function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
    return function != nullptr;
}

struct AddressListDeleter
{
    decltype(&::FreeAddrInfoW) freeAddrInfo;
    void operator()(ADDRINFOW *list) const { freeAddrInfo(list); }
};

platform::NetworkAddress networkAddress(const ADDRINFOW &found)
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

platform::SystemFailure failure(int code)
{
    switch (code) {
    case WSAEACCES:
        return platform::SystemFailure(FailureKind::AccessDenied, code);
    case WSAEMSGSIZE:
        return platform::SystemFailure(FailureKind::MessageTooBig, code);
    case WSAEADDRNOTAVAIL:
    case WSAEAFNOSUPPORT:
        return platform::SystemFailure(FailureKind::AddressNotAvailable, code);
    case WSAENETUNREACH:
        return platform::SystemFailure(FailureKind::NetworkUnreachable, code);
    case WSAENOBUFS:
        return platform::SystemFailure(FailureKind::OutOfMemory, code);
    case WSAEHOSTUNREACH:
        return platform::SystemFailure(FailureKind::HostUnreachable, code);
    }
    return platform::SystemFailure(FailureKind::Other, code);
}

} // namespace

Win32Network::Win32Network() = default;

Win32Network::~Win32Network()
{
    if (m_winsock)
        m_winsock->cleanup();
}

const Win32Network::Winsock &Win32Network::startWinsock()
{
    const std::lock_guard lock(m_mutex);
    if (m_winsock)
        return *m_winsock;
    // The library stays loaded for the rest of the run, as an import would.
    const HMODULE library = LoadLibraryExW(L"ws2_32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!library)
        throw platform::SystemFailure(FailureKind::Other, std::int64_t(GetLastError()));
    auto winsock = std::make_unique<Winsock>();
    if (!find(library, "WSAStartup", winsock->startup) || !find(library, "WSACleanup", winsock->cleanup)
        || !find(library, "WSAGetLastError", winsock->lastError) || !find(library, "GetAddrInfoW", winsock->getAddrInfo)
        || !find(library, "FreeAddrInfoW", winsock->freeAddrInfo) || !find(library, "socket", winsock->socket)
        || !find(library, "sendto", winsock->sendTo) || !find(library, "closesocket", winsock->closeSocket))
        throw platform::SystemFailure(FailureKind::Other, std::int64_t(GetLastError()));
    WSADATA data;
    const int status = winsock->startup(MAKEWORD(2, 2), &data);
    if (status != 0)
        throw failure(status);
    m_winsock = std::move(winsock);
    return *m_winsock;
}

std::vector<platform::NetworkAddress> Win32Network::resolve(const std::u16string &host, std::uint16_t port)
{
    const Winsock &winsock = startWinsock();
    ADDRINFOW hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_DGRAM;
    hints.ai_protocol = IPPROTO_UDP;
    hints.ai_flags = AI_NUMERICSERV;
    ADDRINFOW *found = nullptr;
    const int status = winsock.getAddrInfo(wide(host).c_str(), std::to_wstring(port).c_str(), &hints, &found);
    const std::unique_ptr<ADDRINFOW, AddressListDeleter> list(found, {winsock.freeAddrInfo});
    // Whatever else stops the resolver, the host is not found.
    if (status != 0 || !list)
        throw platform::SystemFailure(
            status == WSATRY_AGAIN ? FailureKind::HostNotFoundTryAgain : FailureKind::HostNotFound, status);
    std::vector<platform::NetworkAddress> addresses;
    for (const ADDRINFOW *address = list.get(); address; address = address->ai_next)
        addresses.push_back(networkAddress(*address));
    return addresses;
}

void Win32Network::sendTo(const platform::NetworkAddress &address, std::string_view payload)
{
    sockaddr_storage to{};
    if (address.systemForm.size() > sizeof to)
        throw platform::SystemFailure(FailureKind::AddressNotAvailable);
    if (payload.size() > std::size_t(INT_MAX))
        throw platform::SystemFailure(FailureKind::MessageTooBig);
    std::memcpy(&to, address.systemForm.data(), address.systemForm.size());
    const Winsock &winsock = startWinsock();
    const SOCKET socket = winsock.socket(to.ss_family, SOCK_DGRAM, IPPROTO_UDP);
    if (socket == INVALID_SOCKET)
        throw failure(winsock.lastError());
    const int sent = winsock.sendTo(socket, payload.data(), int(payload.size()), 0,
                                    reinterpret_cast<const sockaddr *>(&to), int(address.systemForm.size()));
    const int sendError = sent == SOCKET_ERROR ? winsock.lastError() : 0;
    winsock.closeSocket(socket);
    if (sendError != 0)
        throw failure(sendError);
}

} // namespace win32platform
