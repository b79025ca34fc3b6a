// One plain Win32 window of the notifier's client size with a title, three
// lines of text and a box, painted in WM_PAINT: the least a Windows program
// can do to put the message on screen. Built as the notifier is (MinGW-w64,
// static run-time, no console) and timed against it under Wine by
// bench/wine.sh.

#include <windows.h>

namespace {

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(window, &paint);
        RECT client;
        GetClientRect(window, &client);
        FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        SetBkMode(dc, TRANSPARENT);
        TextOutW(dc, 10, 8, L"Ana", 3);
        TextOutW(dc, 320, 8, L"12:00 PM", 8);
        TextOutW(dc, 72, 48, L"Hola, ¿qué tal?", 15);
        const RECT box{6, 112, 374, 136};
        FrameRect(dc, &box, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        EndPaint(window, &paint);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int main()
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = L"Popup";
    RegisterClassW(&windowClass);

    constexpr DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    RECT outer{0, 0, 382, 141};
    AdjustWindowRect(&outer, style, FALSE);
    const HWND window = CreateWindowExW(0, L"Popup", L"Mensaje instantáneo", style, CW_USEDEFAULT, CW_USEDEFAULT,
                                        outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                                        instance, nullptr);
    if (!window)
        return 1;
    ShowWindow(window, SW_SHOWNOACTIVATE);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
