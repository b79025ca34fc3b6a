#pragma once

#include "platform/eventloop.h"

#include <QObject>

#include <map>

namespace qtplatform {

// The Qt event loop of the thread that makes this object (the window's):
// steps posted as queued calls to this object, which lives on that thread,
// and timers of its own. Making it makes the application object if there is
// none yet.
class QtEventLoop final : public QObject, public platform::EventLoop
{
public:
    QtEventLoop();

    void post(std::function<void()> step) override;
    void runInBackground(std::function<void()> work) override;
    TimerId startTimer(std::chrono::milliseconds delay, std::function<void()> step) override;
    void cancelTimer(TimerId timer) override;

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    std::map<int, std::function<void()>> m_timers;
};

} // namespace qtplatform
