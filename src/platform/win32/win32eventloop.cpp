#include "platform/win32/win32eventloop.h"

#include "platform/failure.h"

#include <memory>
#include <utility>

namespace win32platform {

namespace {

constexpr UINT StepsPosted = WM_APP + 1;
constexpr wchar_t WindowClassName[] = L"NotificadorBucle";

} // namespace

Win32EventLoop::Win32EventLoop()
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = WindowClassName;
    // A second loop finds the class registered already.
    RegisterClassExW(&windowClass);
    m_window = CreateWindowExW(0, WindowClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    if (!m_window)
        throw platform::SystemFailure(platform::FailureKind::Other, std::int64_t(GetLastError()));
    SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32EventLoop::~Win32EventLoop()
{
    DestroyWindow(m_window);
}

void Win32EventLoop::post(std::function<void()> step)
{
    {
        const std::lock_guard lock(m_mutex);
        m_posted.push_back(std::move(step));
    }
    // Each message runs all that is waiting; one lost to a full queue leaves
    // its step to the next.
    PostMessageW(m_window, StepsPosted, 0, 0);
}

platform::EventLoop::TimerId Win32EventLoop::startTimer(std::chrono::milliseconds delay, std::function<void()> step)
{
    const TimerId timer = ++m_lastTimer;
    if (!SetTimer(m_window, UINT_PTR(timer), UINT(delay.count()), nullptr))
        throw platform::SystemFailure(platform::FailureKind::Other, std::int64_t(GetLastError()));
    m_timers[timer] = std::move(step);
    return timer;
}

void Win32EventLoop::cancelTimer(TimerId timer)
{
    if (m_timers.erase(timer))
        KillTimer(m_window, UINT_PTR(timer));
}

LRESULT CALLBACK Win32EventLoop::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto *loop = reinterpret_cast<Win32EventLoop *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (loop && message == StepsPosted) {
        loop->runPosted();
        return 0;
    }
    if (loop && message == WM_TIMER) {
        loop->timerPassed(TimerId(wParam));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// One step at a time, each out of the queue before it runs: a step that
// opens a message box runs the steps posted meanwhile from the box's loop,
// in order.
void Win32EventLoop::runPosted()
{
    for (;;) {
        std::function<void()> step;
        {
            const std::lock_guard lock(m_mutex);
            if (m_posted.empty())
                return;
            step = std::move(m_posted.front());
            m_posted.pop_front();
        }
        step();
    }
}

void Win32EventLoop::timerPassed(TimerId timer)
{
    // The system's timers repeat: this one has run.
    KillTimer(m_window, UINT_PTR(timer));
    const auto found = m_timers.find(timer);
    if (found == m_timers.end())
        return;
    const std::function<void()> step = std::move(found->second);
    m_timers.erase(found);
    step();
}

// A thread of the system's own, not the C++ run-time's: under Wine, a
// run-time thread started while a detached one is still on its way out may
// never run, and a second answer would then wait for the lookup's bound.
void Win32EventLoop::runInBackground(std::function<void()> work)
{
    auto owned = std::make_unique<std::function<void()>>(std::move(work));
    const auto start = [](void *parameter) -> DWORD {
        const std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()> *>(parameter));
        (*work)();
        return 0;
    };
    const HANDLE thread = CreateThread(nullptr, 0, start, owned.get(), 0, nullptr);
    if (!thread)
        throw platform::SystemFailure(platform::FailureKind::Other, std::int64_t(GetLastError()));
    owned.release();
    CloseHandle(thread);
}

} // namespace win32platform
