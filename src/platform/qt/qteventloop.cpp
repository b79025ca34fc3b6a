#include "platform/qt/qteventloop.h"

#include "platform/failure.h"
#include "platform/qt/guiapplication.h"

#include <QTimerEvent>

#include <system_error>
#include <thread>

namespace qtplatform {

QtEventLoop::QtEventLoop()
{
    ensureGuiApplication();
}

void QtEventLoop::post(std::function<void()> step)
{
    QMetaObject::invokeMethod(this, std::move(step), Qt::QueuedConnection);
}

platform::EventLoop::TimerId QtEventLoop::startTimer(std::chrono::milliseconds delay, std::function<void()> step)
{
    const int timer = QObject::startTimer(delay);
    if (timer == 0)
        throw platform::SystemFailure(platform::FailureKind::Other);
    m_timers[timer] = std::move(step);
    return TimerId(timer);
}

void QtEventLoop::cancelTimer(TimerId timer)
{
    if (m_timers.erase(int(timer)))
        killTimer(int(timer));
}

void QtEventLoop::timerEvent(QTimerEvent *event)
{
    const auto timer = m_timers.find(event->timerId());
    if (timer == m_timers.end())
        return;
    killTimer(timer->first);
    // The step may start or cancel timers: it is out of the map first.
    const std::function<void()> step = std::move(timer->second);
    m_timers.erase(timer);
    step();
}

void QtEventLoop::runInBackground(std::function<void()> work)
{
    try {
        std::thread(std::move(work)).detach();
    } catch (const std::system_error &error) {
        throw platform::SystemFailure(platform::FailureKind::Other, error.code().value());
    }
}

} // namespace qtplatform
