#pragma once

#include "platform/network.h"

#include <functional>
#include <mutex>
#include <new>
#include <optional>

namespace platform {

// What a send's own thread and the window's thread share. The sending
// thread settles the send once its host is resolved (or found not to be);
// the window's thread may give it up first (the window went, or the lookup
// took too long). Settling and giving up exclude each other: a send given up
// sends nothing, and a settled send has its outcome waiting for the window's
// thread.
class SendHandoff
{
public:
    // On the sending thread: unless the send was given up, runs send, which
    // hands the datagram to the system and says how that went, keeps the
    // outcome, and runs wake to have the window's thread take it. Both run
    // under the lock, so that nothing leaves once the send is given up and
    // wake never reaches a window's thread that gave up.
    void settle(const std::function<SendOutcome()> &send, const std::function<void()> &wake)
    {
        const std::lock_guard lock(m_mutex);
        if (m_givenUp)
            return;
        m_outcome = send();
        wake();
    }

    // On the window's thread: gives the send up, unless it is settled
    // already. Whether it was still unsettled.
    bool giveUp()
    {
        const std::lock_guard lock(m_mutex);
        if (m_outcome)
            return false;
        m_givenUp = true;
        return true;
    }

    // On the window's thread: the settled outcome, the first time only.
    std::optional<SendOutcome> take()
    {
        const std::lock_guard lock(m_mutex);
        if (m_givenUp || !m_outcome || m_taken)
            return std::nullopt;
        m_taken = true;
        return m_outcome;
    }

private:
    std::mutex m_mutex;
    bool m_givenUp = false;
    bool m_taken = false;
    std::optional<SendOutcome> m_outcome;
};

// On a send's own thread: finds the host's addresses with resolve, then
// settles the send with sendTo, which hands the datagram to the first
// address that takes it, or with the failure to find them.
template<typename Resolve, typename SendTo>
void resolveThenSettle(SendHandoff &handoff, const std::function<void()> &wake, const Resolve &resolve,
                       const SendTo &sendTo)
{
    decltype(resolve()) addresses{};
    SendOutcome failure;
    try {
        addresses = resolve();
    } catch (const core::Error &error) {
        failure = error;
    } catch (const std::bad_alloc &) {
        failure = core::Error::fromNumber(core::Error::OutOfMemory);
    }
    handoff.settle([&]() -> SendOutcome { return failure ? failure : sendTo(addresses); }, wake);
}

} // namespace platform
