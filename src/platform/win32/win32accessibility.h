#pragma once

#include <windows.h>

#include <oleacc.h>
#include <uiautomationcore.h>

#include <string>

// What the notification window tells assistive technology beyond what the
// system's own controls tell of themselves.
namespace win32platform {

// UI Automation's notification event, as UIAutomationCore.dll offers it:
// from Windows 10 1709 on. It is looked up when first needed, so that a
// system without it still runs the program, silently.
struct UiAutomationEntries
{
    using HostProviderFromHwnd = HRESULT(WINAPI *)(HWND, IRawElementProviderSimple **);
    // UiaRaiseNotificationEvent(provider, NotificationKind,
    // NotificationProcessing, displayString, activityId).
    using RaiseNotificationEvent = HRESULT(WINAPI *)(IRawElementProviderSimple *, int, int, BSTR, BSTR);
    HostProviderFromHwnd hostProviderFromHwnd = nullptr;
    RaiseNotificationEvent raiseNotificationEvent = nullptr;
};

UiAutomationEntries loadUiAutomation();

// The values of NotificationKind and NotificationProcessing that a message
// arriving is: news of its own, read at once, and each one read.
inline constexpr int NotificationKindOther = 4;
inline constexpr int NotificationProcessingImportantAll = 0;
// The activity the window's notifications belong to.
inline constexpr wchar_t NotificationActivity[] = L"Notificador.Mensaje";

// Has screen readers read the text, without moving the focus to the window.
void raiseNotification(const UiAutomationEntries &entries, HWND window, const std::wstring &text);

// The answer to WM_GETOBJECT for a control's client area (OBJID_CLIENT):
// the system's own accessible object, but with the description given, or
// 0 where the system's accessibility cannot be had.
LRESULT describedObject(HWND control, WPARAM wParam, std::wstring description);

} // namespace win32platform
