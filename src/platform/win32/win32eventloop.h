#pragma once

#include "platform/eventloop.h"

#include <windows.h>

#include <deque>
#include <map>
#include <mutex>

namespace win32platform {

// The message loop of the thread that makes this object (the window's),
// reached through a message-only window of that thread: steps are posted to
// it as messages and timers are its own, so that any message loop of the
// thread delivers them, a message box's included.
class Win32EventLoop final : public platform::EventLoop
{
public:
    // Raises a SystemFailure if the window cannot be made.
    Win32EventLoop();
    ~Win32EventLoop() override;

    void post(std::function<void()> step) override;
    TimerId startTimer(std::chrono::milliseconds delay, std::function<void()> step) override;
    void cancelTimer(TimerId timer) override;
    void runInBackground(std::function<void()> work) override;

private:
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void runPosted();
    void timerPassed(TimerId timer);

    HWND m_window = nullptr;
    std::mutex m_mutex;
    std::deque<std::function<void()>> m_posted; // under m_mutex
    std::map<TimerId, std::function<void()>> m_timers;
    TimerId m_lastTimer = 0;
};

} // namespace win32platform
