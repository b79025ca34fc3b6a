#include "platform/win32/win32window.h"

#include "core/announcement.h"
#include "core/bidi.h"
#include "core/textbox.h"
#include "core/unicode.h"
#include "platform/failure.h"
#include "platform/win32/layoutdrawing.h"
#include "platform/win32/widetext.h"
#include "platform/win32/win32accessibility.h"
#include "platform/win32/win32windowsystem.h"

#include <algorithm>
#include <cwchar>

namespace win32platform {

namespace {

using platform::ControlKind;

// A caption bar with the close button, a frame that cannot be dragged to
// another size, no minimise or maximise button. Labels have no background
// of their own, so the window paints beneath its children.
constexpr DWORD WindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD WindowExStyle = 0;

// Destroys the window once the handler that asked for it has returned.
constexpr UINT DestroyLater = WM_APP + 1;
// Tells screen readers of the window once it is on screen, from the event
// loop: the notification is not held back by the work that follows.
constexpr UINT AnnounceShown = WM_APP + 2;
// Gives the window its icons once it is on screen and painted: a timer's
// message comes only when no paint is pending. Under Wine, handing the icons
// to the X server took as long as showing the window itself.
constexpr UINT_PTR IconsOnceShown = 1;

// A label can show only a few lines; what it is given beyond a generous
// number of characters would cost its layout time and show nothing. The
// cut closes what it leaves open, as the whole caption does: the drawing
// hides the isolate around a whole caption only.
constexpr std::size_t CaptionShownLength = 1024;

std::wstring shownCaption(std::u16string_view caption)
{
    std::wstring text = wide(bidi::cutClosed(caption, CaptionShownLength));
    // A NUL would end the text the control is given: what follows it would
    // be lost, so it shows as a replacement character.
    std::replace(text.begin(), text.end(), L'\0', L'\uFFFD');
    return text;
}

std::wstring clipboardText(HWND owner)
{
    std::wstring text;
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(owner))
        return text;
    if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto *characters = static_cast<const wchar_t *>(GlobalLock(data))) {
            text.assign(characters, wcsnlen(characters, GlobalSize(data) / sizeof(wchar_t)));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

// The messages by which the user edits a box's text; a paste is the
// window's own.
bool mayEdit(UINT message)
{
    switch (message) {
    case WM_CHAR:
    case WM_KEYDOWN:
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
    case WM_IME_CHAR:
    case WM_IME_COMPOSITION:
        return true;
    default:
        return false;
    }
}

void registerClass(const std::wstring &name, WNDPROC procedure)
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    if (GetClassInfoExW(instance, name.c_str(), &windowClass))
        return;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = name.c_str();
    // No icons of the class: each window sets its own, at its own dots per
    // inch.
    RegisterClassExW(&windowClass);
}

} // namespace

Win32Window::Win32Window(Win32WindowSystem &system, const platform::WindowLayout &layout,
                         platform::WindowEvents &events)
    : m_system(system)
    , m_events(events)
    , m_clientWidth(layout.clientWidth)
    , m_clientHeight(layout.clientHeight)
    , m_background(layout.background)
{
    const std::wstring className = wide(layout.name);
    registerClass(className, &windowProcedure);
    const SIZE initial = outerPixelSize(GetDpiForSystem());
    // WM_NCCREATE sets m_window.
    CreateWindowExW(WindowExStyle, className.c_str(), wide(layout.caption).c_str(), WindowStyle, 0, 0, initial.cx,
                    initial.cy, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (!m_window)
        return;
    m_system.windowOpened(m_window);
    // Its dots per inch are those of the monitor it is on.
    m_dpi = GetDpiForWindow(m_window);
    try {
        createControls(layout);
    } catch (...) {
        releaseResources();
        throw;
    }
    const SIZE outer = outerPixelSize(m_dpi);
    if (outer.cx != initial.cx || outer.cy != initial.cy)
        SetWindowPos(m_window, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Win32Window::~Win32Window()
{
    releaseResources();
}

void Win32Window::releaseResources()
{
    if (m_window) {
        const HWND window = m_window;
        m_window = nullptr;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        for (Control &control : m_controls) {
            if (control.textBoxProcedure)
                SetWindowLongPtrW(control.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(control.textBoxProcedure));
        }
        DestroyWindow(window);
        m_system.windowClosed(window);
    }
    for (Control &control : m_controls) {
        if (control.font)
            DeleteObject(control.font);
        control.font = nullptr;
        control.window = nullptr;
    }
}

void Win32Window::createControls(const platform::WindowLayout &layout)
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    m_controls.reserve(layout.controls.size());
    for (const platform::Control &designed : layout.controls) {
        Control &control = m_controls.emplace_back();
        control.layout = designed;
        control.layout.font = designed.font.value_or(layout.font);
        control.fontFamily = wide(control.layout.font->family);
        // The control's identifier is its place in the layout, counted from 1.
        const auto id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(m_controls.size()));
        // Made where it goes, in its font: each move or font after cost a
        // round to the window system.
        const RECT rect = pixelRect(platform::textRect(control.layout), m_dpi);
        const int width = rect.right - rect.left;
        const int height = rect.bottom - rect.top;
        switch (designed.kind) {
        case ControlKind::Label:
            // Drawn by the window (WM_DRAWITEM): a static control can
            // neither end its last line in an ellipsis nor grow to the left.
            // The caption stays the control's text, for whoever reads it.
            control.window = CreateWindowExW(0, L"STATIC", shownCaption(designed.text).c_str(),
                                             WS_CHILD | WS_VISIBLE | SS_NOPREFIX | SS_OWNERDRAW, rect.left, rect.top,
                                             width, height, m_window, id, instance, nullptr);
            // A wrapping label may show only part of its caption; the rest
            // it gives as its accessible description.
            if (control.window && designed.wordWrap) {
                control.caption = announcement::described(designed.text);
                SetWindowLongPtrW(control.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
                control.textBoxProcedure = reinterpret_cast<WNDPROC>(
                    SetWindowLongPtrW(control.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&textBoxProcedure)));
            }
            break;
        case ControlKind::TextBox:
            // An edit box takes its accessible name from the static control
            // made just before it; one that is never shown names it without
            // showing on screen.
            if (!designed.accessibleName.empty())
                CreateWindowExW(0, L"STATIC", wide(designed.accessibleName).c_str(), WS_CHILD | SS_NOPREFIX, 0, 0, 0, 0,
                                m_window, nullptr, instance, nullptr);
            control.window = CreateWindowExW(0, L"EDIT", wide(designed.text).c_str(),
                                             WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, rect.left,
                                             rect.top, width, height, m_window, id, instance, nullptr);
            if (control.window) {
                if (designed.maxLength > 0)
                    SendMessageW(control.window, EM_SETLIMITTEXT, WPARAM(designed.maxLength), 0);
                SetWindowLongPtrW(control.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
                control.textBoxProcedure = reinterpret_cast<WNDPROC>(
                    SetWindowLongPtrW(control.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&textBoxProcedure)));
            }
            break;
        case ControlKind::Picture:
            control.picture = loadPicture(designed.picture);
            break;
        case ControlKind::Socket:
        case ControlKind::Rectangle:
        case ControlKind::Line:
            break;
        }
        if ((designed.kind == ControlKind::Label || designed.kind == ControlKind::TextBox) && !control.window)
            throw platform::SystemFailure(platform::FailureKind::OutOfMemory, std::int64_t(GetLastError()));
        if (control.window)
            applyFont(control);
    }
}

SIZE Win32Window::outerPixelSize(UINT dpi) const
{
    RECT outer{0, 0, pixelsFromTwips(m_clientWidth, dpi), pixelsFromTwips(m_clientHeight, dpi)};
    AdjustWindowRectExForDpi(&outer, WindowStyle, FALSE, WindowExStyle, dpi);
    return {outer.right - outer.left, outer.bottom - outer.top};
}

void Win32Window::applyDpi(UINT dpi)
{
    m_dpi = dpi;
    for (Control &control : m_controls) {
        if (!control.window)
            continue;
        const RECT rect = pixelRect(platform::textRect(control.layout), dpi);
        SetWindowPos(control.window, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        applyFont(control);
    }
    if (m_bigIcon.get())
        applyIcons();
    InvalidateRect(m_window, nullptr, TRUE);
}

void Win32Window::applyFont(Control &control)
{
    const HFONT font = createFont(control.fontFamily, control.layout.font->points, control.layout.font->weight, m_dpi);
    SendMessageW(control.window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (control.font)
        DeleteObject(control.font);
    control.font = font;
}

void Win32Window::applyIcons()
{
    // The old icons go only once the new ones are in place.
    UniqueIcon big = loadProgramIcon(GetSystemMetricsForDpi(SM_CXICON, m_dpi));
    UniqueIcon small = loadProgramIcon(GetSystemMetricsForDpi(SM_CXSMICON, m_dpi));
    SendMessageW(m_window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.get()));
    SendMessageW(m_window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
    m_bigIcon = std::move(big);
    m_smallIcon = std::move(small);
}

LRESULT CALLBACK Win32Window::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto *created = static_cast<Win32Window *>(reinterpret_cast<const CREATESTRUCTW *>(lParam)->lpCreateParams);
        created->m_window = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    auto *self = reinterpret_cast<Win32Window *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    return self->onMessage(message, wParam, lParam);
}

LRESULT Win32Window::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CHAR:
        // A key pressed while the window itself has the focus.
        deliverKey(wParam, std::nullopt);
        return 0;
    case WM_CLOSE:
        try {
            m_events.closeRequested();
        } catch (...) {
            // Nothing may unwind through the system's message dispatch.
        }
        return 0;
    case WM_MOUSEACTIVATE:
        // Having no menu bar, the window is never clicked on one: an
        // activation "by a click on the menu" is how Wine passes on an X
        // window manager's offer of the focus, made both as the window
        // appears and when it is clicked. The window never takes the focus
        // by itself: the first offer is declined unless the user has moved
        // the pointer onto the window since it appeared.
        if (LOWORD(lParam) == HTMENU && !m_focusOffered) {
            m_focusOffered = true;
            if (!pointedAt())
                return MA_NOACTIVATE;
        }
        break;
    case WM_SETFOCUS:
        focusFirstTextBox();
        return 0;
    case WM_ERASEBKGND:
        // WM_PAINT paints the whole client area.
        return 1;
    case WM_PAINT:
        paint();
        return 0;
    case WM_DRAWITEM:
        if (const Control *label = controlOf(reinterpret_cast<const DRAWITEMSTRUCT *>(lParam)->hwndItem)) {
            drawLabel(*label, *reinterpret_cast<const DRAWITEMSTRUCT *>(lParam));
            return TRUE;
        }
        break;
    case WM_CTLCOLORSTATIC:
        if (const Control *label = controlOf(reinterpret_cast<HWND>(lParam))) {
            const HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, colourRef(label->layout.foreground.value_or(platform::SystemColour::ButtonText)));
            SetBkMode(dc, TRANSPARENT);
            return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
        }
        break;
    case WM_CTLCOLOREDIT:
        if (const Control *box = controlOf(reinterpret_cast<HWND>(lParam))) {
            const HDC dc = reinterpret_cast<HDC>(wParam);
            const COLORREF fill = colourRef(box->layout.fill.value_or(platform::SystemColour::WindowFill));
            SetTextColor(dc, colourRef(box->layout.foreground.value_or(platform::SystemColour::ButtonText)));
            SetBkColor(dc, fill);
            SetDCBrushColor(dc, fill);
            return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
        }
        break;
    case WM_DPICHANGED: {
        applyDpi(HIWORD(wParam));
        const auto *suggested = reinterpret_cast<const RECT *>(lParam);
        SetWindowPos(m_window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_SYSCOLORCHANGE:
        InvalidateRect(m_window, nullptr, TRUE);
        break;
    case DestroyLater:
        DestroyWindow(m_window);
        return 0;
    case WM_TIMER:
        if (wParam != IconsOnceShown)
            break;
        KillTimer(m_window, IconsOnceShown);
        applyIcons();
        return 0;
    case AnnounceShown:
        try {
            announce();
        } catch (...) {
            // Nothing may unwind through the system's message dispatch.
        }
        return 0;
    case WM_NCDESTROY: {
        const HWND window = m_window;
        m_window = nullptr;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        m_system.windowClosed(window);
        return DefWindowProcW(window, message, wParam, lParam);
    }
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

LRESULT CALLBACK Win32Window::textBoxProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto *self = reinterpret_cast<Win32Window *>(GetWindowLongPtrW(box, GWLP_USERDATA));
    Control *control = self ? self->controlOf(box) : nullptr;
    if (!control || !control->textBoxProcedure)
        return DefWindowProcW(box, message, wParam, lParam);
    return self->onTextBoxMessage(*control, message, wParam, lParam);
}

LRESULT Win32Window::onTextBoxMessage(Control &box, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CHAR:
        // Key preview: the window's handlers see the key before the box
        // does, and the box takes it only if they let it.
        if (!deliverKey(wParam, std::size_t(&box - m_controls.data())))
            return 0;
        break;
    case WM_PASTE:
        pasteAsOneLine(box);
        return 0;
    case WM_GETOBJECT:
        if (LONG(lParam) == LONG(OBJID_CLIENT) && box.layout.kind == ControlKind::Label) {
            try {
                if (std::wstring description = labelDescription(box); !description.empty()) {
                    if (const LRESULT object = describedObject(box.window, wParam, std::move(description)))
                        return object;
                }
            } catch (...) {
                // Nothing may unwind through the system's message dispatch;
                // the label is then described as the system would.
            }
        }
        break;
    }
    if (!mayEdit(message))
        return CallWindowProcW(box.textBoxProcedure, box.window, message, wParam, lParam);
    // Whatever the box changes by itself (Delete, a cut, an undo) is
    // reported, so that the hint gives way to it.
    const platform::TextEdit edit = editFrom(box);
    const LRESULT result = CallWindowProcW(box.textBoxProcedure, box.window, message, wParam, lParam);
    reportEdit(box, edit);
    return result;
}

platform::TextEdit Win32Window::editFrom(const Control &box) const
{
    DWORD selectionStart = 0;
    DWORD selectionEnd = 0;
    SendMessageW(box.window, EM_GETSEL, reinterpret_cast<WPARAM>(&selectionStart),
                 reinterpret_cast<LPARAM>(&selectionEnd));
    return {text(std::size_t(&box - m_controls.data())), std::size_t(selectionEnd - selectionStart), 0};
}

void Win32Window::reportEdit(const Control &box, platform::TextEdit edit)
{
    const std::size_t index = std::size_t(&box - m_controls.data());
    if (!box.window || text(index) == edit.before)
        return;
    DWORD cursor = 0;
    SendMessageW(box.window, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&cursor));
    edit.cursor = cursor;
    try {
        m_events.textEdited(index, edit);
    } catch (...) {
        // Nothing may unwind through the system's message dispatch.
    }
}

bool Win32Window::deliverKey(WPARAM code, std::optional<std::size_t> control)
{
    try {
        return m_events.keyPress(std::int16_t(std::uint16_t(code)), control);
    } catch (...) {
        // Nothing may unwind through the system's message dispatch; a key
        // whose handlers failed is not taken.
        return false;
    }
}

void Win32Window::pasteAsOneLine(Control &box)
{
    const std::wstring line = wide(textbox::oneLine(utf16(clipboardText(box.window))));
    const std::size_t index = std::size_t(&box - m_controls.data());
    const platform::TextEdit edit = editFrom(box);
    // As typing does, the replacement keeps within the box's limit, but for
    // a paste onto the text at load (the hint), which the box takes beside
    // that text.
    const std::size_t limit = std::size_t(std::max(box.layout.maxLength, 0));
    const std::optional<std::size_t> widened = textbox::limitForInsertion(edit.before, box.layout.text, limit);
    if (widened)
        SendMessageW(box.window, EM_SETLIMITTEXT, WPARAM(*widened), 0);
    SendMessageW(box.window, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(line.c_str()));
    reportEdit(box, edit);
    // Back at its limit; what the box holds beyond it goes, never half a
    // character.
    if (widened) {
        SendMessageW(box.window, EM_SETLIMITTEXT, WPARAM(limit), 0);
        if (const std::u16string now = text(index); now.size() > limit)
            setText(index, unicode::cut(now, limit));
    }
}

void Win32Window::drawLabel(const Control &label, const DRAWITEMSTRUCT &item) const
{
    std::wstring caption(std::size_t(GetWindowTextLengthW(label.window)) + 1, L'\0');
    caption.resize(std::size_t(GetWindowTextW(label.window, caption.data(), int(caption.size()))));
    const HGDIOBJ previous = SelectObject(item.hDC, label.font);
    win32platform::drawLabel(item.hDC, item.rcItem, caption, label.layout);
    SelectObject(item.hDC, previous);
}

std::wstring Win32Window::labelDescription(const Control &label) const
{
    std::wstring shown(std::size_t(GetWindowTextLengthW(label.window)) + 1, L'\0');
    shown.resize(std::size_t(GetWindowTextW(label.window, shown.data(), int(shown.size()))));
    bool whole = label.caption.size() <= CaptionShownLength;
    if (whole) {
        const HDC dc = GetDC(label.window);
        const HGDIOBJ previous = SelectObject(dc, label.font);
        RECT rect{};
        GetClientRect(label.window, &rect);
        whole = labelShowsWhole(dc, rect, shown, label.layout);
        SelectObject(dc, previous);
        ReleaseDC(label.window, dc);
    }
    return whole ? std::wstring() : wide(label.caption);
}

void Win32Window::announce()
{
    // Only a screen reader hears the event, and one that runs says so;
    // without one, the automation library is not even loaded.
    BOOL screenReader = FALSE;
    if (!SystemParametersInfoW(SPI_GETSCREENREADER, 0, &screenReader, 0) || !screenReader)
        return;
    std::vector<announcement::Part> parts;
    for (std::size_t index = 0; index < m_controls.size(); ++index) {
        const platform::Control &designed = m_controls[index].layout;
        if (designed.describesWindow && m_controls[index].window)
            parts.push_back({double(designed.rect.top), double(designed.rect.left), text(index)});
    }
    raiseNotification(m_system.uiAutomation(), m_window, wide(announcement::ofWindow(std::move(parts))));
}

void Win32Window::focusFirstTextBox()
{
    for (const Control &control : m_controls) {
        if (control.layout.kind == ControlKind::TextBox && control.window) {
            SetFocus(control.window);
            return;
        }
    }
}

Win32Window::Control *Win32Window::controlOf(HWND child)
{
    const int id = GetDlgCtrlID(child);
    if (id < 1 || std::size_t(id) > m_controls.size() || m_controls[std::size_t(id - 1)].window != child)
        return nullptr;
    return &m_controls[std::size_t(id - 1)];
}

void Win32Window::paint()
{
    PAINTSTRUCT paintStruct;
    const HDC dc = BeginPaint(m_window, &paintStruct);
    RECT client;
    GetClientRect(m_window, &client);
    drawRectangle(dc, client, m_background, std::nullopt, 0);
    const int width = lineWidth(m_dpi);
    // The bottommost first: each control covers those below it.
    for (auto control = m_controls.rbegin(); control != m_controls.rend(); ++control) {
        const platform::Control &designed = control->layout;
        const RECT rect = pixelRect(designed.rect, m_dpi);
        switch (designed.kind) {
        case ControlKind::Rectangle:
            drawRectangle(dc, rect, designed.fill, designed.border, width);
            break;
        case ControlKind::Line:
            drawLine(dc, {rect.left, rect.top}, {rect.right, rect.bottom},
                     colourRef(designed.foreground.value_or(platform::SystemColour::ButtonText)), width);
            break;
        case ControlKind::Picture:
            if (control->picture.icon.get()) {
                // Its natural size, which is 96 dots per inch's.
                const int side = MulDiv(control->picture.size, int(m_dpi), USER_DEFAULT_SCREEN_DPI);
                DrawIconEx(dc, rect.left, rect.top, control->picture.icon.get(), side, side, 0, nullptr, DI_NORMAL);
            }
            break;
        case ControlKind::TextBox:
        case ControlKind::Socket:
        case ControlKind::Label:
            break;
        }
    }
    EndPaint(m_window, &paintStruct);
}

platform::TwipSize Win32Window::outerSizeInTwips() const
{
    RECT outer{};
    GetWindowRect(m_window, &outer);
    return {twipsFromPixels(outer.right - outer.left, m_dpi), twipsFromPixels(outer.bottom - outer.top, m_dpi)};
}

void Win32Window::moveOuterTo(std::optional<double> left, std::optional<double> top)
{
    RECT outer{};
    GetWindowRect(m_window, &outer);
    POINT corner = m_cornerWhenShown.value_or(POINT{outer.left, outer.top});
    if (left)
        corner.x = pixelsFromTwips(*left, m_dpi);
    if (top)
        corner.y = pixelsFromTwips(*top, m_dpi);
    // A window not yet shown goes there as it shows, in one move: each move
    // of its own took a round to the window system.
    if (!IsWindowVisible(m_window)) {
        m_cornerWhenShown = corner;
        return;
    }
    SetWindowPos(m_window, nullptr, corner.x, corner.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Window::setOuterTopInTwips(double top)
{
    moveOuterTo(std::nullopt, top);
}

void Win32Window::setOuterLeftInTwips(double left)
{
    moveOuterTo(left, std::nullopt);
}

void Win32Window::setCaption(std::size_t control, std::u16string_view caption)
{
    Control &label = m_controls.at(control);
    SetWindowTextW(label.window, shownCaption(caption).c_str());
    if (label.layout.wordWrap)
        label.caption = announcement::described(caption);
    // The label has no background of its own: what lies beneath the old
    // caption is painted afresh before the new one.
    const RECT area = pixelRect(platform::textRect(label.layout), m_dpi);
    RedrawWindow(m_window, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

std::u16string Win32Window::text(std::size_t control) const
{
    const HWND box = m_controls.at(control).window;
    std::wstring text(std::size_t(GetWindowTextLengthW(box)) + 1, L'\0');
    text.resize(std::size_t(GetWindowTextW(box, text.data(), int(text.size()))));
    return utf16(text);
}

void Win32Window::setText(std::size_t control, std::u16string_view text)
{
    const HWND box = m_controls.at(control).window;
    SetWindowTextW(box, wide(text).c_str());
    // The cursor after the text, as after typing it.
    const int end = GetWindowTextLengthW(box);
    SendMessageW(box, EM_SETSEL, WPARAM(end), LPARAM(end));
}

void Win32Window::showTopmostWithoutActivating()
{
    POINT pointer{};
    GetCursorPos(&pointer);
    m_pointerWhenShown = pointer;
    // Visible, in the topmost band, where it was placed and as large as it
    // is; the application in front keeps the keyboard focus.
    const POINT corner = m_cornerWhenShown.value_or(POINT{});
    SetWindowPos(m_window, HWND_TOPMOST, corner.x, corner.y, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW | (m_cornerWhenShown ? 0 : SWP_NOMOVE));
    m_cornerWhenShown.reset();
    PostMessageW(m_window, AnnounceShown, 0, 0);
    if (!m_bigIcon.get())
        SetTimer(m_window, IconsOnceShown, USER_TIMER_MINIMUM, nullptr);
    // The system shows the window before the call returns.
    if (IsWindowVisible(m_window))
        m_events.shown();
}

bool Win32Window::pointedAt() const
{
    // A window that appears beneath the pointer is told that the pointer is
    // there; only a pointer moved since counts.
    POINT pointer{};
    RECT outer{};
    return m_pointerWhenShown && GetCursorPos(&pointer) && GetWindowRect(m_window, &outer)
           && PtInRect(&outer, pointer) && (pointer.x != m_pointerWhenShown->x || pointer.y != m_pointerWhenShown->y);
}
void Win32Window::destroy()
{
    if (!m_window)
        return;
    ShowWindow(m_window, SW_HIDE);
    PostMessageW(m_window, DestroyLater, 0, 0);
}

} // namespace win32platform
