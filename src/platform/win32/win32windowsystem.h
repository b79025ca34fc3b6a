#pragma once

#include "platform/win32/win32accessibility.h"
#include "platform/windowsystem.h"

#include <windows.h>

#include <optional>
#include <vector>

namespace win32platform {

// The desktop of the window station the program runs in. Where there is no
// desktop to show a window on (a service's window station, or no display
// at all), creating the window fails with NoDisplay.
class Win32WindowSystem final : public platform::WindowSystem
{
public:
    // The primary monitor's whole area, at the notification window's dots
    // per inch once there is one.
    platform::TwipSize screenSizeInTwips() override;
    std::unique_ptr<platform::NativeWindow> createWindow(const platform::WindowLayout &layout,
                                                         platform::WindowEvents &events) override;
    void runEventLoop() override;

    // The window boxes are shown over: the last one made that is still
    // there, or none.
    HWND ownerWindow() const;

    // Each window reports when it is made and when it is gone; once none is
    // left, the event loop ends.
    void windowOpened(HWND window);
    void windowClosed(HWND window);

    // UI Automation's entry points, looked up on first use; a test may set
    // others in their place.
    const UiAutomationEntries &uiAutomation();
    void setUiAutomation(const UiAutomationEntries &entries) { m_uiAutomation = entries; }

private:
    std::vector<HWND> m_windows;
    std::optional<UiAutomationEntries> m_uiAutomation;
};

} // namespace win32platform
