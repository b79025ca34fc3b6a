#pragma once

#include "reply/backgroundsend.h"

#include <functional>
#include <mutex>
#include <optional>

namespace reply {

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

} // namespace reply
