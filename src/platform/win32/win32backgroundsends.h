#pragma once

#include "platform/network.h"
#include "core/sendhandoff.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace win32platform {

// Sends that run on threads of their own, their outcomes posted back to a
// message-only window of the thread that started them (the window's), so
// that any message loop of that thread, a message box's included, delivers
// them; the bound on the lookup is a timer of the same window. A thread that
// still waits for a name server when the program ends holds nothing of this
// object's but its handoff, and once the send is given up it touches nothing
// else.
class Win32BackgroundSends final
{
public:
    // What runs on the send's thread: resolves, then settles the handoff.
    using Work = std::function<void(platform::SendHandoff &handoff, const std::function<void()> &wake)>;

    Win32BackgroundSends();
    ~Win32BackgroundSends();
    Win32BackgroundSends(const Win32BackgroundSends &) = delete;
    Win32BackgroundSends &operator=(const Win32BackgroundSends &) = delete;

    // Starts work on a thread of its own; done gets the outcome, or error
    // 11002 for host once the lookup has taken longer than the bound.
    std::unique_ptr<platform::PendingSend> start(std::u16string host, Work work,
                                                 std::function<void(platform::SendOutcome)> done);

private:
    class Pending;
    struct Send
    {
        std::shared_ptr<platform::SendHandoff> handoff;
        std::function<void(platform::SendOutcome)> done;
        std::u16string host;
        bool timing = false;
    };

    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void takeOutcome(std::uint64_t id);
    void boundPassed(std::uint64_t id);
    void finish(std::map<std::uint64_t, Send>::iterator send, platform::SendOutcome outcome);
    void giveUp(std::uint64_t id);

    HWND m_window = nullptr;
    std::map<std::uint64_t, Send> m_sends;
    std::uint64_t m_lastId = 0;
};

} // namespace win32platform
