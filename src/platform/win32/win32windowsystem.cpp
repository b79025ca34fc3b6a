#include "platform/win32/win32windowsystem.h"

#include "platform/failure.h"
#include "platform/win32/layoutdrawing.h"
#include "platform/win32/win32window.h"

#include <algorithm>

namespace win32platform {

namespace {

bool desktopIsInteractive()
{
    USEROBJECTFLAGS flags{};
    if (!GetUserObjectInformationW(GetProcessWindowStation(), UOI_FLAGS, &flags, sizeof flags, nullptr))
        return true;
    return (flags.dwFlags & WSF_VISIBLE) != 0;
}

} // namespace

platform::TwipSize Win32WindowSystem::screenSizeInTwips()
{
    const HWND window = ownerWindow();
    const UINT dpi = window ? GetDpiForWindow(window) : GetDpiForSystem();
    return {twipsFromPixels(GetSystemMetrics(SM_CXSCREEN), dpi), twipsFromPixels(GetSystemMetrics(SM_CYSCREEN), dpi)};
}

std::unique_ptr<platform::NativeWindow> Win32WindowSystem::createWindow(const platform::WindowLayout &layout,
                                                                        platform::WindowEvents &events)
{
    if (!desktopIsInteractive())
        throw platform::SystemFailure(platform::FailureKind::NoDisplay);
    auto window = std::make_unique<Win32Window>(*this, layout, events);
    if (!window->handle())
        throw platform::SystemFailure(platform::FailureKind::NoDisplay, std::int64_t(GetLastError()));
    return window;
}

void Win32WindowSystem::runEventLoop()
{
    if (m_windows.empty())
        return;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

HWND Win32WindowSystem::ownerWindow() const
{
    return m_windows.empty() ? nullptr : m_windows.back();
}

void Win32WindowSystem::windowOpened(HWND window)
{
    m_windows.push_back(window);
}

void Win32WindowSystem::windowClosed(HWND window)
{
    const auto found = std::find(m_windows.begin(), m_windows.end(), window);
    if (found == m_windows.end())
        return;
    m_windows.erase(found);
    if (m_windows.empty())
        PostQuitMessage(0);
}

const UiAutomationEntries &Win32WindowSystem::uiAutomation()
{
    if (!m_uiAutomation)
        m_uiAutomation = loadUiAutomation();
    return *m_uiAutomation;
}

} // namespace win32platform
