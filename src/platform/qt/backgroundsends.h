#pragma once

#include "platform/network.h"
#include "core/sendhandoff.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace qtplatform {

// Sends that run on threads of their own, their outcomes brought back into
// the Qt event loop of the thread that started them (the window's), with a
// timer for the bound on the lookup. A thread that still waits for a name
// server when the program ends holds nothing of this object's: it shares
// only its handoff, and once the send is given up it touches nothing else.
class BackgroundSends final : public QObject
{
public:
    // What runs on the send's thread: resolves, then settles the handoff.
    using Work = std::function<void(platform::SendHandoff &handoff, const std::function<void()> &wake)>;

    BackgroundSends() = default;
    ~BackgroundSends() override;

    // Starts work on a thread of its own; done gets the outcome, or error
    // 11002 for host once the lookup has taken longer than the bound.
    std::unique_ptr<platform::PendingSend> start(std::u16string host, Work work,
                                                 std::function<void(platform::SendOutcome)> done);

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    class Pending;
    struct Send
    {
        std::shared_ptr<platform::SendHandoff> handoff;
        std::function<void(platform::SendOutcome)> done;
        std::u16string host;
        int timer = 0;
    };

    void takeOutcome(std::uint64_t id);
    void finish(std::map<std::uint64_t, Send>::iterator send, platform::SendOutcome outcome);
    void giveUp(std::uint64_t id);

    std::map<std::uint64_t, Send> m_sends;
    std::uint64_t m_lastId = 0;
};

} // namespace qtplatform
