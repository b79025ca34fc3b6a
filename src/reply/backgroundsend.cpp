#include "reply/backgroundsend.h"

#include "platform/eventloop.h"
#include "platform/failure.h"
#include "platform/network.h"
#include "platform/platform.h"
#include "reply/sendhandoff.h"
#include "reply/socketerrors.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

namespace reply {

namespace {

using platform::NetworkAddress;

// What a call on the sending thread came to, as the socket reports it.
// Nothing may escape that thread.
template<typename Call>
SendOutcome outcomeOf(std::u16string_view host, const Call &call)
{
    try {
        return call();
    } catch (const platform::SystemFailure &failure) {
        return socketerrors::fromFailure(failure, host);
    } catch (const std::bad_alloc &) {
        return core::Error::fromNumber(core::Error::OutOfMemory);
    }
}

// Whether a datagram sent to address reaches one host alone. A group's
// (multicast) address would carry a private answer to every member of the
// group, and the unspecified address (0.0.0.0, ::) names no host at all;
// the system takes either.
bool isOneHost(const NetworkAddress &address)
{
    std::string_view bytes = address.bytes;
    constexpr std::string_view IPv4InIPv6("\0\0\0\0\0\0\0\0\0\0\xff\xff", 12);
    if (bytes.size() == 16 && bytes.starts_with(IPv4InIPv6))
        bytes.remove_prefix(IPv4InIPv6.size());
    const bool unspecified = bytes.find_first_not_of('\0') == std::string_view::npos;
    if (bytes.size() == 4)
        return !unspecified && (std::uint8_t(bytes[0]) & 0xF0) != 0xE0;
    if (bytes.size() == 16)
        return !unspecified && std::uint8_t(bytes[0]) != 0xFF;
    return true;
}

// The messaging system's peers listen on IPv4, and a name with addresses of
// both families (localhost among them) may list its IPv6 one first, where
// nobody listens: a datagram sent there is still sent, and the answer lost
// without an error. The IPv4 addresses are tried first, each family in the
// system's order; the first address that takes the datagram gets it, and
// only that one. An address of no one host is refused as one this machine
// cannot send to.
SendOutcome sendToFirstTaker(platform::Network &network, std::vector<NetworkAddress> addresses,
                             const std::string &payload, std::u16string_view host)
{
    std::stable_partition(addresses.begin(), addresses.end(), [](const NetworkAddress &address) {
        return address.family == platform::AddressFamily::IPv4;
    });
    std::optional<platform::SystemFailure> refusal;
    for (const NetworkAddress &address : addresses) {
        if (!isOneHost(address)) {
            refusal = platform::SystemFailure(platform::FailureKind::AddressNotAvailable);
            continue;
        }
        try {
            network.sendTo(address, payload);
            return std::nullopt;
        } catch (const platform::SystemFailure &failure) {
            refusal = failure;
        }
    }
    if (!refusal)
        return socketerrors::hostNotFound(host, false);
    return socketerrors::fromFailure(*refusal, host);
}

// On the send's own thread: finds the host's addresses, then settles the
// send, unless it was given up meanwhile, with the datagram handed to the
// first address that takes it, or with the failure to find them.
void findAndSend(SendHandoff &handoff, platform::Network &network, const std::u16string &host, std::uint16_t port,
                 const std::string &payload, const std::function<void()> &wake)
{
    std::vector<NetworkAddress> addresses;
    SendOutcome failure;
    // The system would cut a name short at a NUL and look up another host:
    // such a name names none.
    if (host.find(u'\0') != std::u16string::npos)
        failure = socketerrors::hostNotFound(host, false);
    else
        failure = outcomeOf(host, [&]() -> SendOutcome {
            addresses = network.resolve(host, port);
            return std::nullopt;
        });
    handoff.settle(
        [&] {
            if (failure)
                return failure;
            return outcomeOf(host, [&] { return sendToFirstTaker(network, std::move(addresses), payload, host); });
        },
        wake);
}

} // namespace

// The send as the window's thread keeps it: the handoff, the bound's timer
// and who wants the outcome. The steps that the event loop runs later hold
// it weakly, so that they do nothing once the send has gone.
class BackgroundSend::Waiting
{
public:
    Waiting(platform::EventLoop &loop, std::u16string host, Done done)
        : m_loop(loop), m_host(std::move(host)), m_done(std::move(done))
    {
    }

    const std::shared_ptr<SendHandoff> handoff = std::make_shared<SendHandoff>();

    void startBound(std::weak_ptr<Waiting> self)
    {
        m_bound = m_loop.startTimer(LookupBound, [self = std::move(self)] {
            if (const auto waiting = self.lock())
                waiting->boundPassed();
        });
    }

    // The sending thread has settled the send.
    void settled()
    {
        if (auto outcome = handoff->take())
            finish(std::move(*outcome));
    }

    void giveUp()
    {
        handoff->giveUp();
        stopBound();
        m_done = nullptr;
    }

    void stopBound()
    {
        if (m_bound)
            m_loop.cancelTimer(*std::exchange(m_bound, std::nullopt));
    }

private:
    void boundPassed()
    {
        m_bound.reset();
        // A send settled just now has its outcome on the way: that one counts.
        if (handoff->giveUp())
            finish(socketerrors::hostNotFound(m_host, true));
    }

    void finish(SendOutcome outcome)
    {
        stopBound();
        // done may let go of the send: it is taken out first, and the step
        // that runs this holds the rest.
        if (const Done done = std::exchange(m_done, nullptr))
            done(std::move(outcome));
    }

    platform::EventLoop &m_loop;
    std::u16string m_host;
    Done m_done;
    std::optional<platform::EventLoop::TimerId> m_bound;
};

BackgroundSend::BackgroundSend(platform::Platform &platform, std::u16string host, std::uint16_t port,
                               std::string payload, Done done)
{
    try {
        platform::EventLoop &loop = platform.eventLoop();
        m_waiting = std::make_shared<Waiting>(loop, host, std::move(done));
        const std::weak_ptr<Waiting> waiting = m_waiting;
        m_waiting->startBound(waiting);
        // Runs on the sending thread, under the handoff's lock, only while
        // the send is wanted: the loop is still there.
        auto wake = [&loop, waiting] {
            loop.post([waiting] {
                if (const auto settled = waiting.lock())
                    settled->settled();
            });
        };
        loop.runInBackground([handoff = m_waiting->handoff, network = platform.network(), host, port,
                              payload = std::move(payload), wake = std::move(wake)] {
            findAndSend(*handoff, *network, host, port, payload, wake);
        });
    } catch (...) {
        // Nothing has started: the bound is stopped, and the failure reported
        // as the socket's.
        if (m_waiting)
            m_waiting->stopBound();
        try {
            throw;
        } catch (const platform::SystemFailure &failure) {
            throw socketerrors::fromFailure(failure, host);
        }
    }
}

BackgroundSend::~BackgroundSend()
{
    m_waiting->giveUp();
}

} // namespace reply
