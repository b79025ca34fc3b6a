#include "platform/win32/win32backgroundsends.h"

#include "reply/socketerrors.h"

#include <system_error>
#include <thread>

namespace win32platform {

namespace {

constexpr UINT SendSettled = WM_APP + 1;
constexpr wchar_t WindowClassName[] = L"NotificadorEnvios";

} // namespace

class Win32BackgroundSends::Pending final : public platform::PendingSend
{
public:
    Pending(Win32BackgroundSends &sends, std::uint64_t id) : m_sends(sends), m_id(id) {}
    ~Pending() override { m_sends.giveUp(m_id); }

private:
    Win32BackgroundSends &m_sends;
    std::uint64_t m_id;
};

Win32BackgroundSends::Win32BackgroundSends()
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = WindowClassName;
    RegisterClassExW(&windowClass);
    m_window = CreateWindowExW(0, WindowClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    if (m_window)
        SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32BackgroundSends::~Win32BackgroundSends()
{
    for (auto &[id, send] : m_sends)
        send.handoff->giveUp();
    if (m_window)
        DestroyWindow(m_window);
}

std::unique_ptr<platform::PendingSend> Win32BackgroundSends::start(std::u16string host, Work work,
                                                                   std::function<void(platform::SendOutcome)> done)
{
    namespace socketerrors = reply::socketerrors;
    if (!m_window)
        throw socketerrors::sendFailed(socketerrors::NetworkDown, std::int64_t(GetLastError()));
    const std::uint64_t id = ++m_lastId;
    auto handoff = std::make_shared<platform::SendHandoff>();
    // Runs on the send's thread, under the handoff's lock, only while the
    // send is wanted: the window is still there.
    auto wake = [window = m_window, id] { PostMessageW(window, SendSettled, WPARAM(id), 0); };
    const bool timing = SetTimer(m_window, UINT_PTR(id), UINT(platform::Network::LookupBound.count()), nullptr) != 0;
    m_sends[id] = Send{handoff, std::move(done), std::move(host), timing};
    try {
        std::thread([handoff, work = std::move(work), wake = std::move(wake)] { work(*handoff, wake); }).detach();
    } catch (const std::system_error &error) {
        if (timing)
            KillTimer(m_window, UINT_PTR(id));
        m_sends.erase(id);
        throw socketerrors::sendFailed(socketerrors::NetworkDown, error.code().value());
    }
    return std::make_unique<Pending>(*this, id);
}

LRESULT CALLBACK Win32BackgroundSends::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto *sends = reinterpret_cast<Win32BackgroundSends *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (sends && message == SendSettled) {
        sends->takeOutcome(std::uint64_t(wParam));
        return 0;
    }
    if (sends && message == WM_TIMER) {
        sends->boundPassed(std::uint64_t(wParam));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void Win32BackgroundSends::takeOutcome(std::uint64_t id)
{
    const auto send = m_sends.find(id);
    if (send == m_sends.end())
        return;
    if (auto outcome = send->second.handoff->take())
        finish(send, std::move(*outcome));
}

void Win32BackgroundSends::boundPassed(std::uint64_t id)
{
    KillTimer(m_window, UINT_PTR(id));
    const auto send = m_sends.find(id);
    if (send == m_sends.end())
        return;
    send->second.timing = false;
    // A send settled just now has its outcome on the way: that one counts.
    if (send->second.handoff->giveUp())
        finish(send, reply::socketerrors::hostNotFound(send->second.host, true));
}

void Win32BackgroundSends::finish(std::map<std::uint64_t, Send>::iterator send, platform::SendOutcome outcome)
{
    if (send->second.timing)
        KillTimer(m_window, UINT_PTR(send->first));
    // done may let go of the send, and with it this entry: it is gone first.
    const auto done = std::move(send->second.done);
    m_sends.erase(send);
    done(std::move(outcome));
}

void Win32BackgroundSends::giveUp(std::uint64_t id)
{
    const auto send = m_sends.find(id);
    if (send == m_sends.end())
        return;
    send->second.handoff->giveUp();
    if (send->second.timing)
        KillTimer(m_window, UINT_PTR(id));
    m_sends.erase(send);
}

} // namespace win32platform
