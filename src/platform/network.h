#pragma once

#include "core/error.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace platform {

// What a send came to: nothing once the datagram is with the system, or the
// Error that stopped it.
using SendOutcome = std::optional<core::Error>;

// A send under way. Letting go of it gives the send up: a datagram not yet
// sent is not sent, and its outcome is never delivered.
class PendingSend
{
public:
    PendingSend() = default;
    virtual ~PendingSend() = default;
    PendingSend(const PendingSend &) = delete;
    PendingSend &operator=(const PendingSend &) = delete;
};

// Hands datagrams to the operating system.
class Network
{
public:
    // How long a send may take to find its host before it is given up as a
    // host that cannot be resolved now (11002): the system resolver's own
    // wait for a name server's first answer. A name server that does not
    // answer would otherwise hold the answer for 10 s or more.
    static constexpr std::chrono::milliseconds LookupBound{5000};

    Network() = default;
    virtual ~Network() = default;
    Network(const Network &) = delete;
    Network &operator=(const Network &) = delete;

    // Sends one datagram to host (a name, an IPv4 or an IPv6 address) and
    // port, from an address and port the system picks. Returns once the
    // datagram is with the system; raises an Error (source "MensajeEnviar")
    // if the host cannot be resolved or the system refuses the datagram.
    // Resolving a name may take as long as the name servers do: never called
    // on the window's thread.
    virtual void sendDatagram(const std::u16string &host, std::uint16_t port, const std::string &payload) = 0;

    // The same send without waiting for it: the name is resolved and the
    // datagram sent away from the window's thread, and `done` is called with
    // the outcome on the window's thread, from its event loop (never from
    // within this call, modal loops included), exactly once, unless the
    // returned send is let go first. A name still unresolved after
    // LookupBound ends the send with error 11002 and nothing is sent. `done`
    // may let go of the send. The network outlives the sends it starts.
    virtual std::unique_ptr<PendingSend> startSending(const std::u16string &host, std::uint16_t port,
                                                      std::string payload,
                                                      std::function<void(SendOutcome)> done) = 0;
};

} // namespace platform
