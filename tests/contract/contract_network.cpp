// What each platform's event loop must do against the real system: steps
// and timers coming back to the loop's thread.
#include "platform/eventloop.h"
#include "platform/native.h"
#include "platform/platform.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <QCoreApplication>
#endif

#include <functional>
#include <thread>

namespace {

std::unique_ptr<platform::Platform> nativePlatform()
{
    static int argc = 1;
    static char name[] = "contract_network";
    static char *argv[] = {name, nullptr};
    return platform::makeNativePlatform(argc, argv);
}

// Runs this thread's event loop until done, or for atMost.
void runLoopUntil(const std::function<bool()> &done, std::chrono::milliseconds atMost = std::chrono::seconds(20))
{
    const auto end = std::chrono::steady_clock::now() + atMost;
    while (!done() && std::chrono::steady_clock::now() < end) {
#ifdef _WIN32
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
#else
        QCoreApplication::processEvents();
#endif
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

} // namespace

// A step posted from any thread runs on the loop's thread, from its loop,
// never within the call; a timer runs once, unless cancelled.
TEST(EventLoop, StepsAndTimersRunOnTheLoopsThread)
{
    const auto platform = nativePlatform();
    platform::EventLoop &loop = platform->eventLoop();
    std::vector<std::thread::id> ran;
    const auto step = [&] { ran.push_back(std::this_thread::get_id()); };
    loop.post(step);
    EXPECT_TRUE(ran.empty());
    std::thread([&] { loop.post(step); }).join();
    loop.cancelTimer(loop.startTimer(std::chrono::milliseconds(10), step));
    loop.startTimer(std::chrono::milliseconds(30), step);
    runLoopUntil([&] { return ran.size() == 3; });
    // Long enough for a timer that repeats to run again.
    runLoopUntil([] { return false; }, std::chrono::milliseconds(200));
    EXPECT_EQ(ran, std::vector(3, std::this_thread::get_id()));
}
