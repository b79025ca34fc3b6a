// The answer's lookup on Windows while the name server keeps silent.
#include "platform/native.h"
#include "platform/platform.h"
#include "reply/backgroundsend.h"

#include <gtest/gtest.h>

#include <winsock2.h>
#include <ws2tcpip.h>

#include <optional>

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

    int argc = 1;
    const auto platform = platform::makeNativePlatform(argc, nullptr);
    std::optional<reply::SendOutcome> outcome;
    const reply::BackgroundSend send(*platform, u"respuesta.lenta.test", 9, "MI-Notificar;x",
                                     [&](reply::SendOutcome sent) { outcome = std::move(sent); });
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
