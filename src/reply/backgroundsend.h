#pragma once

#include "core/error.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace platform {
class Platform;
}

namespace reply {

// What a send came to: nothing once the datagram is with the system, or the
// Error that stopped it.
using SendOutcome = std::optional<core::Error>;

// How long a send may take to find its host before it is given up as a host
// that cannot be resolved now (11002): the system resolver's own wait for a
// name server's first answer. A name server that does not answer would
// otherwise hold the answer for 10 s or more.
inline constexpr std::chrono::milliseconds LookupBound{5000};

// One datagram on its way to a host, found and sent on a thread of its own
// so that the window's thread never waits for a name server. The outcome
// comes back to the window's thread, from its event loop (never from within
// the constructor), exactly once, unless the send is let go first: then
// nothing leaves that has not left already, and no outcome comes. A name
// still unresolved after LookupBound ends the send with error 11002, and
// nothing is sent.
//
// The sending thread is never waited for: a lookup that does not end must
// not keep the program from ending. It holds only the network and what it
// shares with the window's thread; once the send is given up it touches
// nothing else.
class BackgroundSend
{
public:
    using Done = std::function<void(SendOutcome)>;

    // Made on the window's thread, which done is called on; done may let go
    // of the send. Raises an Error, sending nothing, if no thread, timer or
    // event loop can be had.
    BackgroundSend(platform::Platform &platform, std::u16string host, std::uint16_t port, std::string payload,
                   Done done);
    ~BackgroundSend();
    BackgroundSend(const BackgroundSend &) = delete;
    BackgroundSend &operator=(const BackgroundSend &) = delete;

private:
    class Waiting;
    std::shared_ptr<Waiting> m_waiting;
};

} // namespace reply
