#include "platform/network.h"

#include "platform/socketerrors.h"

#include <cerrno>
#include <memory>

#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {

namespace {

struct AddressListDeleter
{
    void operator()(addrinfo *list) const { freeaddrinfo(list); }
};
using AddressList = std::unique_ptr<addrinfo, AddressListDeleter>;

AddressList resolve(const QString &host, quint16 port)
{
    // A name with a NUL in it would be cut short at the NUL: it names no host.
    if (host.contains(QChar(0)))
        throw socketerrors::hostNotFound(host, false);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_DGRAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo *list = nullptr;
    const int status = getaddrinfo(host.toUtf8().constData(), QByteArray::number(port).constData(), &hints, &list);
    if (status != 0 || !list)
        throw socketerrors::hostNotFound(host, status == EAI_AGAIN);
    return AddressList(list);
}

// One socket per datagram, closed as soon as the datagram is with the system.
int sendTo(const addrinfo &address, const QByteArray &payload)
{
    const int socket = ::socket(address.ai_family, address.ai_socktype | SOCK_CLOEXEC, address.ai_protocol);
    if (socket < 0)
        return errno;
    const ssize_t sent = ::sendto(socket, payload.constData(), size_t(payload.size()), MSG_NOSIGNAL, address.ai_addr,
                                  address.ai_addrlen);
    const int sendError = sent < 0 ? errno : 0;
    ::close(socket);
    return sendError;
}

} // namespace

void SystemNetwork::sendDatagram(const QString &host, quint16 port, const QByteArray &payload)
{
    const AddressList addresses = resolve(host, port);
    // A name may stand for addresses of both families; the first one the
    // system takes gets the datagram, and only that one.
    int lastError = 0;
    for (const addrinfo *address = addresses.get(); address; address = address->ai_next) {
        lastError = sendTo(*address, payload);
        if (lastError == 0)
            return;
    }
    throw socketerrors::sendFailed(lastError);
}

} // namespace platform
