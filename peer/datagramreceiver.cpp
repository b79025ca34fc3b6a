#include "datagramreceiver.h"

#include <QDeadlineTimer>

#include <cerrno>
#include <cstring>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The largest payload a UDP datagram can carry, so nothing is ever cut.
constexpr size_t MaxDatagram = 65535;

QString systemError(const char *what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

DatagramReceiver::DatagramReceiver(const QString &address, quint16 port)
{
    sockaddr_storage local{};
    socklen_t length = 0;
    const QByteArray text = address.toLatin1();
    if (auto *v4 = reinterpret_cast<sockaddr_in *>(&local); inet_pton(AF_INET, text.constData(), &v4->sin_addr) == 1) {
        v4->sin_family = AF_INET;
        v4->sin_port = htons(port);
        length = sizeof(sockaddr_in);
    } else if (auto *v6 = reinterpret_cast<sockaddr_in6 *>(&local);
               inet_pton(AF_INET6, text.constData(), &v6->sin6_addr) == 1) {
        v6->sin6_family = AF_INET6;
        v6->sin6_port = htons(port);
        length = sizeof(sockaddr_in6);
    } else {
        m_error = QStringLiteral("'%1' is not an IPv4 or IPv6 address").arg(address);
        return;
    }

    const int socket = ::socket(local.ss_family, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (socket < 0) {
        m_error = systemError("socket");
        return;
    }
    if (::bind(socket, reinterpret_cast<sockaddr *>(&local), length) != 0
        || ::getsockname(socket, reinterpret_cast<sockaddr *>(&local), &length) != 0) {
        m_error = systemError("bind");
        ::close(socket);
        return;
    }
    m_socket = socket;
    m_port = ntohs(local.ss_family == AF_INET ? reinterpret_cast<sockaddr_in *>(&local)->sin_port
                                              : reinterpret_cast<sockaddr_in6 *>(&local)->sin6_port);
}

DatagramReceiver::~DatagramReceiver()
{
    if (m_socket >= 0)
        ::close(m_socket);
}

std::optional<DatagramReceiver::Datagram> DatagramReceiver::receive(int timeoutMs)
{
    if (m_socket < 0)
        return std::nullopt;
    QDeadlineTimer deadline(timeoutMs < 0 ? QDeadlineTimer::Forever : QDeadlineTimer(timeoutMs));
    pollfd ready{m_socket, POLLIN, 0};
    for (;;) {
        const int waited = ::poll(&ready, 1, deadline.isForever() ? -1 : int(deadline.remainingTime()));
        if (waited < 0 && errno == EINTR)
            continue;
        if (waited <= 0)
            return std::nullopt;
        break;
    }

    Datagram datagram;
    datagram.payload.resize(MaxDatagram);
    sockaddr_storage from{};
    socklen_t fromLength = sizeof(from);
    const ssize_t size = ::recvfrom(m_socket, datagram.payload.data(), MaxDatagram, 0,
                                    reinterpret_cast<sockaddr *>(&from), &fromLength);
    if (size < 0)
        return std::nullopt;
    datagram.payload.truncate(size);
    char host[INET6_ADDRSTRLEN] = {};
    if (from.ss_family == AF_INET) {
        const auto *v4 = reinterpret_cast<const sockaddr_in *>(&from);
        inet_ntop(AF_INET, &v4->sin_addr, host, sizeof(host));
        datagram.fromPort = ntohs(v4->sin_port);
    } else if (from.ss_family == AF_INET6) {
        const auto *v6 = reinterpret_cast<const sockaddr_in6 *>(&from);
        inet_ntop(AF_INET6, &v6->sin6_addr, host, sizeof(host));
        datagram.fromPort = ntohs(v6->sin6_port);
    }
    datagram.fromHost = QString::fromLatin1(host);
    return datagram;
}
