// Datagrams through Winsock, received on real sockets of the test's own,
// and the socket errors a send can end with.
#include "platform/win32/win32network.h"
#include "support.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <optional>

using win32platform::Win32Network;

namespace {

// A UDP socket bound to one loopback address, on the port given or, for 0,
// on one the system picks.
class Receiver
{
public:
    explicit Receiver(int family, std::uint16_t port = 0)
    {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        m_socket = socket(family, SOCK_DGRAM, IPPROTO_UDP);
        sockaddr_storage address{};
        int length = 0;
        if (family == AF_INET) {
            auto &v4 = reinterpret_cast<sockaddr_in &>(address);
            v4.sin_family = AF_INET;
            v4.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            v4.sin_port = htons(port);
            length = sizeof v4;
        } else {
            auto &v6 = reinterpret_cast<sockaddr_in6 &>(address);
            v6.sin6_family = AF_INET6;
            v6.sin6_addr = in6addr_loopback;
            v6.sin6_port = htons(port);
            length = sizeof v6;
        }
        if (bind(m_socket, reinterpret_cast<sockaddr *>(&address), length) != 0)
            return;
        getsockname(m_socket, reinterpret_cast<sockaddr *>(&address), &length);
        m_port = ntohs(family == AF_INET ? reinterpret_cast<sockaddr_in &>(address).sin_port
                                         : reinterpret_cast<sockaddr_in6 &>(address).sin6_port);
        DWORD timeoutMs = 10000;
        setsockopt(m_socket, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char *>(&timeoutMs), sizeof timeoutMs);
    }
    ~Receiver()
    {
        closesocket(m_socket);
        WSACleanup();
    }

    // 0 if the socket could not be bound.
    std::uint16_t port() const { return m_port; }
    std::string receive()
    {
        char buffer[2048];
        const int got = recv(m_socket, buffer, sizeof buffer, 0);
        return got < 0 ? std::string() : std::string(buffer, std::size_t(got));
    }

private:
    SOCKET m_socket = INVALID_SOCKET;
    std::uint16_t m_port = 0;
};

struct DeliveryCase
{
    const char *name;
    std::u16string host;
    int family; // of the one loopback address that gets the datagram
};

// "localhost" has both families where the hosts file says so, as Debian's
// does (tests/wine/dual_stack.sh runs these rows so): the answer goes to
// 127.0.0.1, where the messaging system's peers listen.
const DeliveryCase DeliveryCases[] = {
    {"IPv4 address", u"127.0.0.1", AF_INET},
    {"IPv6 address", u"::1", AF_INET6},
    {"localhost", u"localhost", AF_INET},
};

class Delivery : public testing::TestWithParam<DeliveryCase> {};

TEST_P(Delivery, OneDatagramArrivesAtOneAddress)
{
    const int family = GetParam().family;
    const int otherFamily = family == AF_INET ? AF_INET6 : AF_INET;
    Receiver receiver(family);
    ASSERT_NE(receiver.port(), 0);
    // The same port on the other loopback address, which must get nothing.
    Receiver other(otherFamily, receiver.port());
    ASSERT_NE(other.port(), 0);
    Win32Network network;
    network.sendDatagram(GetParam().host, receiver.port(), "MI-Notificar;x;S\xED");
    EXPECT_EQ(receiver.receive(), "MI-Notificar;x;S\xED");
    // Sent after the notifier's datagram, so it comes second there if that
    // one went there too.
    Win32Network().sendDatagram(otherFamily == AF_INET ? u"127.0.0.1" : u"::1", other.port(), "marker");
    EXPECT_EQ(other.receive(), "marker");
}

INSTANTIATE_TEST_SUITE_P(Win32Network, Delivery, testing::ValuesIn(DeliveryCases), RowName());

struct FailureCase
{
    const char *name;
    std::u16string host;
    std::size_t payloadSize;
    std::int32_t number;
};

const FailureCase FailureCases[] = {
    {"host with a NUL", std::u16string(u"127.0.0.1\0x", 11), 10, 11001},
    {"datagram too long", u"127.0.0.1", 70000, 10040},
};

class Failure : public testing::TestWithParam<FailureCase> {};

TEST_P(Failure, RaisesTheSocketError)
{
    Win32Network network;
    const auto number = raisedNumber([&] { network.sendDatagram(GetParam().host, 9, std::string(GetParam().payloadSize, 'x')); });
    EXPECT_EQ(number, GetParam().number);
}

INSTANTIATE_TEST_SUITE_P(Win32Network, Failure, testing::ValuesIn(FailureCases), RowName());

} // namespace

namespace {

// Run by tests/wine/silent_name_server.sh alone, where this process asks
// only a name server on 127.0.0.77 and waits for it longer than the
// notifier does: the name server is this socket, which never answers. The
// lookup is given up once the bound has passed, and the outcome reaches the
// thread that asked through its message loop, not from within the call.
TEST(SilentNameServer, DISABLED_TheLookupIsGivenUpAfterTheBound)
{
    WSADATA data;
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
    const SOCKET nameServer = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(53);
    inet_pton(AF_INET, "127.0.0.77", &address.sin_addr);
    ASSERT_EQ(bind(nameServer, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);

    Win32Network network;
    std::optional<platform::SendOutcome> outcome;
    const auto pending = network.startSending(u"respuesta.lenta.test", 9, "MI-Notificar;x",
                                              [&](platform::SendOutcome sent) { outcome = std::move(sent); });
    EXPECT_FALSE(outcome);
    MSG message;
    while (!outcome && GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    ASSERT_TRUE(outcome && *outcome);
    EXPECT_EQ((*outcome)->number(), 11002);
    char query[512];
    EXPECT_GT(recv(nameServer, query, sizeof query, 0), 0);
    closesocket(nameServer);
    WSACleanup();
}

} // namespace
