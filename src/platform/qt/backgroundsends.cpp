#include "platform/qt/backgroundsends.h"

#include "reply/socketerrors.h"

#include <QTimerEvent>

#include <system_error>
#include <thread>

namespace qtplatform {

class BackgroundSends::Pending final : public platform::PendingSend
{
public:
    Pending(BackgroundSends &sends, std::uint64_t id) : m_sends(sends), m_id(id) {}
    ~Pending() override { m_sends.giveUp(m_id); }

private:
    BackgroundSends &m_sends;
    std::uint64_t m_id;
};

BackgroundSends::~BackgroundSends()
{
    for (auto &[id, send] : m_sends)
        send.handoff->giveUp();
}

std::unique_ptr<platform::PendingSend> BackgroundSends::start(std::u16string host, Work work,
                                                              std::function<void(platform::SendOutcome)> done)
{
    const std::uint64_t id = ++m_lastId;
    auto handoff = std::make_shared<platform::SendHandoff>();
    // Runs on the send's thread, under the handoff's lock, only while the
    // send is wanted: this object is still there.
    auto wake = [this, id] { QMetaObject::invokeMethod(this, [this, id] { takeOutcome(id); }, Qt::QueuedConnection); };
    const int timer = startTimer(platform::Network::LookupBound);
    m_sends[id] = Send{handoff, std::move(done), std::move(host), timer};
    try {
        std::thread([handoff, work = std::move(work), wake = std::move(wake)] { work(*handoff, wake); }).detach();
    } catch (const std::system_error &error) {
        killTimer(timer);
        m_sends.erase(id);
        throw reply::socketerrors::sendFailed(reply::socketerrors::NetworkDown, error.code().value());
    }
    return std::make_unique<Pending>(*this, id);
}

void BackgroundSends::takeOutcome(std::uint64_t id)
{
    const auto send = m_sends.find(id);
    if (send == m_sends.end())
        return;
    if (auto outcome = send->second.handoff->take())
        finish(send, std::move(*outcome));
}

void BackgroundSends::timerEvent(QTimerEvent *event)
{
    for (auto send = m_sends.begin(); send != m_sends.end(); ++send) {
        if (send->second.timer != event->timerId())
            continue;
        killTimer(send->second.timer);
        send->second.timer = 0;
        // A send settled just now has its outcome on the way: that one counts.
        if (send->second.handoff->giveUp())
            finish(send, reply::socketerrors::hostNotFound(send->second.host, true));
        return;
    }
}

void BackgroundSends::finish(std::map<std::uint64_t, Send>::iterator send, platform::SendOutcome outcome)
{
    if (send->second.timer)
        killTimer(send->second.timer);
    // done may let go of the send, and with it this entry: it is gone first.
    const auto done = std::move(send->second.done);
    m_sends.erase(send);
    done(std::move(outcome));
}

void BackgroundSends::giveUp(std::uint64_t id)
{
    const auto send = m_sends.find(id);
    if (send == m_sends.end())
        return;
    send->second.handoff->giveUp();
    if (send->second.timer)
        killTimer(send->second.timer);
    m_sends.erase(send);
}

} // namespace qtplatform
