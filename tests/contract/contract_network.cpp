// What each platform's network must do against the real system: names
// found with their families, datagrams received on real sockets of the
// test's own, what the system refuses; and its event loop, which brings
// steps and timers back to the loop's thread.
#include "platform/eventloop.h"
#include "platform/failure.h"
#include "platform/native.h"
#include "platform/network.h"
#include "platform/platform.h"
#include "support.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <QCoreApplication>

#include <netdb.h>
#include <unistd.h>

using SOCKET = int;
inline void closesocket(SOCKET socket) { ::close(socket); }
#endif

#include <functional>
#include <set>
#include <thread>

using platform::AddressFamily;

namespace {

// A UDP socket bound to a loopback address, on the port given or, for "0",
// on one the system picks.
class Receiver
{
public:
    explicit Receiver(const char *address, const char *port = "0")
    {
#ifdef _WIN32
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
#endif
        addrinfo hints{};
        hints.ai_socktype = SOCK_DGRAM;
        hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
        addrinfo *found = nullptr;
        if (getaddrinfo(address, port, &hints, &found) != 0)
            return;
        m_socket = socket(found->ai_family, SOCK_DGRAM, IPPROTO_UDP);
        const bool bound = bind(m_socket, found->ai_addr, socklen_t(found->ai_addrlen)) == 0;
        freeaddrinfo(found);
        sockaddr_in6 name{}; // the port is where it is in an IPv4 address
        socklen_t length = sizeof name;
        if (bound && getsockname(m_socket, reinterpret_cast<sockaddr *>(&name), &length) == 0)
            m_port = ntohs(name.sin6_port);
#ifdef _WIN32
        DWORD timeout = 10000;
#else
        timeval timeout{10, 0};
#endif
        setsockopt(m_socket, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char *>(&timeout), sizeof timeout);
    }
    ~Receiver()
    {
        closesocket(m_socket);
#ifdef _WIN32
        WSACleanup();
#endif
    }

    // 0 if the socket could not be bound.
    std::uint16_t port() const { return m_port; }
    std::string receive()
    {
        char buffer[2048];
        const auto got = recv(m_socket, buffer, sizeof buffer, 0);
        return got < 0 ? std::string() : std::string(buffer, std::size_t(got));
    }

private:
    SOCKET m_socket{};
    std::uint16_t m_port = 0;
};

std::unique_ptr<platform::Platform> nativePlatform()
{
    static int argc = 1;
    static char name[] = "contract_network";
    static char *argv[] = {name, nullptr};
    return platform::makeNativePlatform(argc, argv);
}

// Runs this thread's event loop until done, or for atMost.
void runLoopUntil(const std::function<bool()> &done, std::chrono::milliseconds atMost = std::chrono::seconds(20))
{
    const auto end = std::chrono::steady_clock::now() + atMost;
    while (!done() && std::chrono::steady_clock::now() < end) {
#ifdef _WIN32
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
#else
        QCoreApplication::processEvents();
#endif
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

} // namespace

struct DeliveryCase
{
    const char *name;
    std::u16string host;
    std::optional<AddressFamily> family; // of every address, if the host says
    std::string bytes;                   // the address in network byte order, likewise
};

// "localhost" has both families where the hosts file says so, as Debian's
// does (tests/wine/dual_stack.sh runs these rows so, and sets
// NOTIFICADOR_BOTH_FAMILIES): each address takes the datagram.
const DeliveryCase DeliveryCases[] = {
    {"IPv4 address", u"127.0.0.1", AddressFamily::IPv4, std::string("\x7f\0\0\1", 4)},
    {"IPv6 address", u"::1", AddressFamily::IPv6, std::string(15, '\0') + '\1'},
    {"localhost", u"localhost", std::nullopt, {}},
};

class Delivery : public testing::TestWithParam<DeliveryCase> {};

// Each address found takes the datagram, which arrives whole at the
// loopback address of the family it is said to have.
TEST_P(Delivery, EachAddressFoundTakesADatagram)
{
    Receiver ipv4("127.0.0.1");
    ASSERT_NE(ipv4.port(), 0);
    Receiver ipv6("::1", std::to_string(ipv4.port()).c_str());
    ASSERT_NE(ipv6.port(), 0);
    const std::string payload("MI-Notificar;x;S\xED\0z", 19);
    const auto network = nativePlatform()->network();
    std::set<AddressFamily> families;
    for (const platform::NetworkAddress &address : network->resolve(GetParam().host, ipv4.port())) {
        families.insert(address.family);
        EXPECT_TRUE(GetParam().bytes.empty() || address.bytes == GetParam().bytes);
        network->sendTo(address, payload);
        EXPECT_EQ((address.family == AddressFamily::IPv4 ? ipv4 : ipv6).receive(), payload);
    }
    ASSERT_FALSE(families.empty());
    EXPECT_FALSE(families.contains(AddressFamily::Other));
    if (GetParam().family) {
        EXPECT_EQ(families, std::set{*GetParam().family});
    } else if (std::getenv("NOTIFICADOR_BOTH_FAMILIES")) {
        EXPECT_EQ(families.size(), 2u);
    }
}

INSTANTIATE_TEST_SUITE_P(Network, Delivery, testing::ValuesIn(DeliveryCases), RowName());

struct FailureCase
{
    const char *name;
    std::u16string host;
    std::size_t payloadSize;
    platform::FailureKind kind;
};

const FailureCase FailureCases[] = {
    {"a name that does not exist", u"no-such-host.invalid", 10, platform::FailureKind::HostNotFound},
    {"datagram too long", u"127.0.0.1", 70000, platform::FailureKind::MessageTooBig},
};

class Failure : public testing::TestWithParam<FailureCase> {};

TEST_P(Failure, IsTheSystemsRefusal)
{
    const auto network = nativePlatform()->network();
    try {
        for (const platform::NetworkAddress &address : network->resolve(GetParam().host, 9))
            network->sendTo(address, std::string(GetParam().payloadSize, 'x'));
        ADD_FAILURE() << "nothing refused";
    } catch (const platform::SystemFailure &failure) {
        EXPECT_EQ(failure.kind(), GetParam().kind);
    }
}

INSTANTIATE_TEST_SUITE_P(Network, Failure, testing::ValuesIn(FailureCases), RowName());

// A step posted from any thread runs on the loop's thread, from its loop,
// never within the call; a timer runs once, unless cancelled.
TEST(EventLoop, StepsAndTimersRunOnTheLoopsThread)
{
    const auto platform = nativePlatform();
    platform::EventLoop &loop = platform->eventLoop();
    std::vector<std::thread::id> ran;
    const auto step = [&] { ran.push_back(std::this_thread::get_id()); };
    loop.post(step);
    EXPECT_TRUE(ran.empty());
    std::thread([&] { loop.post(step); }).join();
    // Work in the background, one piece after another, each posting back.
    const std::thread::id loopThread = std::this_thread::get_id();
    for (int i = 0; i < 2; ++i)
        loop.runInBackground([&loop, loopThread, step] {
            if (std::this_thread::get_id() != loopThread)
                loop.post(step);
        });
    loop.cancelTimer(loop.startTimer(std::chrono::milliseconds(10), step));
    loop.startTimer(std::chrono::milliseconds(30), step);
    runLoopUntil([&] { return ran.size() == 5; });
    // Long enough for a timer that repeats to run again.
    runLoopUntil([] { return false; }, std::chrono::milliseconds(200));
    EXPECT_EQ(ran, std::vector(5, std::this_thread::get_id()));
}
