#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

namespace platform {

// The event loop of the window's thread, as work done elsewhere comes back
// to it: a step to run there, and timers.
class EventLoop
{
public:
    using TimerId = std::uint64_t;

    EventLoop() = default;
    virtual ~EventLoop() = default;
    EventLoop(const EventLoop &) = delete;
    EventLoop &operator=(const EventLoop &) = delete;

    // Runs step on the loop's thread, later, from its event loop: any loop
    // that thread runs, a message box's included, and never from within this
    // call. Safe to call from any thread while the loop exists.
    virtual void post(std::function<void()> step) = 0;

    // On the loop's thread: runs step once, from the event loop, once delay
    // has passed, unless the timer is cancelled first. Raises a
    // SystemFailure if the system has no timer to give.
    virtual TimerId startTimer(std::chrono::milliseconds delay, std::function<void()> step) = 0;
    // On the loop's thread: the timer's step does not run. A timer whose
    // step has run already is let be.
    virtual void cancelTimer(TimerId timer) = 0;

    // Runs work on a thread of its own, which nothing waits for: the program
    // may end while it still runs. Raises a SystemFailure if the system has
    // no thread to give.
    virtual void runInBackground(std::function<void()> work) = 0;
};

} // namespace platform
