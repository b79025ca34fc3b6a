// The notification window on a real desktop (under Wine, an X server): key
// preview, what the answer box takes, and the window's end. The layout is
// the program's own; the window's handlers are a recording stand-in.
#include "platform/win32/win32window.h"
#include "platform/win32/win32windowsystem.h"
#include "support.h"
#include "platform/win32/layoutdrawing.h"
#include "ui/layout.h"
#include "core/texts.h"

#include <windows.h>

#include <oleacc.h>

#include <vector>

using win32platform::Win32Window;
using win32platform::Win32WindowSystem;

namespace {

struct Key
{
    std::int16_t code;
    std::optional<std::size_t> control;
    bool operator==(const Key &) const = default;
};

void PrintTo(const Key &key, std::ostream *out)
{
    *out << key.code << (key.control ? " in control " + std::to_string(*key.control) : " in the window");
}

class RecordingEvents final : public platform::WindowEvents
{
public:
    bool keyPress(std::int16_t keyAscii, std::optional<std::size_t> focusedControl) override
    {
        keys.push_back({keyAscii, focusedControl});
        return letKeysThrough;
    }
    void closeRequested() override { ++closeRequests; }

    std::vector<Key> keys;
    bool letKeysThrough = true;
    int closeRequests = 0;
};

// Handles whatever the window has been sent or posted so far.
void pumpMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

class Win32WindowTest : public testing::Test
{
protected:
    void SetUp() override
    {
        // An earlier test's window may have left the loop's end behind.
        pumpMessages();
        nativeWindow = windows.createWindow(ui::PrincipalLayout, events);
        window = static_cast<Win32Window *>(nativeWindow.get())->handle();
        box = FindWindowExW(window, nullptr, L"Edit", nullptr);
        ASSERT_TRUE(box);
        nativeWindow->setText(ui::Text1Index, u"");
    }

    std::u16string boxText() const { return nativeWindow->text(ui::Text1Index); }

    Win32WindowSystem windows;
    RecordingEvents events;
    std::unique_ptr<platform::NativeWindow> nativeWindow;
    HWND window = nullptr;
    HWND box = nullptr;
};

struct KeyCase
{
    const char *name;
    bool toBox;         // sent to the answer box, or to the window itself
    UINT message;
    WPARAM code;        // a character, or a virtual key for WM_KEYDOWN
    bool letThrough;    // what the window's handlers answer
    std::vector<Key> seen;
    std::u16string text;
};

const KeyCase KeyCases[] = {
    {"letter taken by the box", true, WM_CHAR, 'a', true, {{97, ui::Text1Index}}, u"a"},
    {"letter held back by the handlers", true, WM_CHAR, 'a', false, {{97, ui::Text1Index}}, u""},
    {"Escape in the box", true, WM_CHAR, VK_ESCAPE, false, {{27, ui::Text1Index}}, u""},
    {"Escape in the window itself", false, WM_CHAR, VK_ESCAPE, true, {{27, std::nullopt}}, u""},
    {"character beyond 0x7FFF", true, WM_CHAR, 0xFFFD, true, {{-3, ui::Text1Index}}, u"\uFFFD"},
    {"letter key", true, WM_KEYDOWN, 'A', true, {{97, ui::Text1Index}}, u"a"},
    {"Delete key", true, WM_KEYDOWN, VK_DELETE, true, {}, u""},
    {"arrow key", true, WM_KEYDOWN, VK_LEFT, true, {}, u""},
};

class KeyPreview : public Win32WindowTest, public testing::WithParamInterface<KeyCase> {};

// Every key that delivers a character reaches the window's handlers first,
// with the control that has the focus; the box takes it only if they let it.
TEST_P(KeyPreview, GoesToTheHandlersFirst)
{
    const KeyCase &row = GetParam();
    events.letKeysThrough = row.letThrough;
    const HWND target = row.toBox ? box : window;
    const LPARAM keyData = row.message == WM_KEYDOWN ? LPARAM(1 | (MapVirtualKeyW(UINT(row.code), MAPVK_VK_TO_VSC) << 16)) : 1;
    PostMessageW(target, row.message, row.code, keyData);
    pumpMessages();
    EXPECT_EQ(events.keys, row.seen);
    EXPECT_EQ(boxText(), row.text);
}

INSTANTIATE_TEST_SUITE_P(Win32Window, KeyPreview, testing::ValuesIn(KeyCases), RowName());

struct LabelCase
{
    const char *name;
    std::size_t control;
    std::u16string widestCaption;
};

const LabelCase LabelCases[] = {
    // The time grows left from the label's end, clear of the sender's name.
    {"Label3, a Spanish afternoon", ui::Label3Index, u"12:58 p. m."},
    {"Label1", ui::Label1Index, u"Ana"},
};

class Labels : public Win32WindowTest, public testing::WithParamInterface<LabelCase> {};

// Each label stands where its text may go, and that room holds its widest
// caption in the label's own font at the window's density.
TEST_P(Labels, HoldTheirWidestCaption)
{
    const LabelCase &row = GetParam();
    const platform::Control &designed = ui::PrincipalLayout.controls[row.control];
    const HWND label = FindWindowExW(window, nullptr, L"Static", nullptr);
    ASSERT_TRUE(label);
    HWND found = nullptr;
    for (HWND child = label; child; child = FindWindowExW(window, child, L"Static", nullptr)) {
        if (GetDlgCtrlID(child) == int(row.control + 1))
            found = child;
    }
    ASSERT_TRUE(found);
    const UINT dpi = GetDpiForWindow(window);
    RECT placed{};
    GetWindowRect(found, &placed);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT *>(&placed), 2);
    const RECT expected = win32platform::pixelRect(platform::textRect(designed), dpi);
    EXPECT_EQ(placed.left, expected.left);
    EXPECT_EQ(placed.right, expected.right);

    const HDC dc = GetDC(found);
    const HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(found, WM_GETFONT, 0, 0)));
    const std::wstring caption(row.widestCaption.begin(), row.widestCaption.end());
    SIZE extent{};
    GetTextExtentPoint32W(dc, caption.c_str(), int(caption.size()), &extent);
    SelectObject(dc, previous);
    ReleaseDC(found, dc);
    EXPECT_LE(extent.cx, placed.right - placed.left) << "at " << dpi << " dpi";
}

INSTANTIATE_TEST_SUITE_P(Win32Window, Labels, testing::ValuesIn(LabelCases), RowName());

// A tab in a label goes on to the next stop, eight average characters on,
// as on Linux; drawn as a character of its own it would be a box. (Wine
// ends the last line a label has room for at its first tab instead.)
TEST(LabelDrawing, ExpandsTabs)
{
    const HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, 200, -60, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void *bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_TRUE(bitmap);
    const HGDIOBJ previous = SelectObject(dc, bitmap);
    const HFONT font = win32platform::createFont(L"Tahoma", 9, FW_NORMAL, USER_DEFAULT_SCREEN_DPI);
    const HGDIOBJ previousFont = SelectObject(dc, font);
    PatBlt(dc, 0, 0, 200, 60, WHITENESS);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    win32platform::drawLabel(dc, {0, 0, 200, 60}, L"a\tb", ui::PrincipalLayout.controls[ui::Label2Index]);
    GdiFlush();
    int inkEnd = 0;
    for (int i = 0; i < 200 * 60; ++i) {
        if ((static_cast<const std::uint32_t *>(bits)[i] & 0xFFFFFF) != 0xFFFFFF)
            inkEnd = std::max(inkEnd, i % 200 + 1);
    }
    EXPECT_GT(inkEnd, 8 * metrics.tmAveCharWidth);
    SelectObject(dc, previousFont);
    DeleteObject(font);
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

TEST_F(Win32WindowTest, TypingStopsAtTheLimit)
{
    for (int i = 0; i < ui::Text1MaxLength + 1; ++i)
        SendMessageW(box, WM_CHAR, 'x', 1);
    EXPECT_EQ(boxText(), std::u16string(ui::Text1MaxLength, u'x'));
}

// What a screen reader calls the window and the answer box, as the system's
// accessibility (oleacc) tells it: the window by its title, the box by the
// label the window gives it, which does not show; and the message that does
// not show whole, as its description.
TEST_F(Win32WindowTest, TellsScreenReadersWhatWindowAndBoxAre)
{
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    const std::u16string message = u"\u2068" + std::u16string(2000, u'm') + u"\u2069";
    nativeWindow->setCaption(ui::Label2Index, message);
    const HWND label2 = GetDlgItem(window, int(ui::Label2Index + 1));
    const struct
    {
        HWND window;
        HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR *);
        std::u16string_view text;
    } rows[] = {
        {window, &IAccessible::get_accName, texts::WindowCaption},
        {box, &IAccessible::get_accName, texts::AnswerBoxName},
        {label2, &IAccessible::get_accDescription, message},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(testing::Message() << "row " << &row - rows);
        IAccessible *accessible = nullptr;
        ASSERT_EQ(AccessibleObjectFromWindow(row.window, DWORD(OBJID_CLIENT), __uuidof(IAccessible),
                                             reinterpret_cast<void **>(&accessible)),
                  S_OK);
        VARIANT self{};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR text = nullptr;
        EXPECT_EQ((accessible->*row.get)(self, &text), S_OK);
        EXPECT_EQ(std::u16string_view(reinterpret_cast<const char16_t *>(text), text ? SysStringLen(text) : 0), row.text);
        SysFreeString(text);
        accessible->Release();
    }
    CoUninitialize();
}

// Wine's UI Automation has no notification event: what the window raises
// as it shows is recorded in its place.
struct RaisedNotification
{
    bool provided = false;
    int kind = -1;
    int processing = -1;
    std::wstring text;
    std::wstring activity;
} raised;

HRESULT WINAPI recordNotification(IRawElementProviderSimple *provider, int kind, int processing, BSTR text,
                                  BSTR activity)
{
    raised = {provider != nullptr, kind, processing, std::wstring(text, SysStringLen(text)),
              std::wstring(activity, SysStringLen(activity))};
    return S_OK;
}

TEST_F(Win32WindowTest, AnnouncesSenderAndMessageAsItShows)
{
    win32platform::UiAutomationEntries entries = windows.uiAutomation();
    entries.raiseNotificationEvent = &recordNotification;
    windows.setUiAutomation(entries);
    nativeWindow->setCaption(ui::Label1Index, u"Ana");
    nativeWindow->setCaption(ui::Label2Index, u"Hola");
    const HWND before = GetForegroundWindow();
    // With no screen reader running, nobody would hear it.
    nativeWindow->showTopmostWithoutActivating();
    pumpMessages();
    EXPECT_FALSE(raised.provided);
    ASSERT_TRUE(SystemParametersInfoW(SPI_SETSCREENREADER, TRUE, nullptr, 0));
    nativeWindow->showTopmostWithoutActivating();
    pumpMessages();
    SystemParametersInfoW(SPI_SETSCREENREADER, FALSE, nullptr, 0);
    EXPECT_TRUE(raised.provided);
    EXPECT_EQ(raised.kind, 4);       // NotificationKind_Other
    EXPECT_EQ(raised.processing, 0); // NotificationProcessing_ImportantAll
    EXPECT_EQ(raised.text, L"Ana\nHola");
    EXPECT_EQ(raised.activity, L"Notificador.Mensaje");
    EXPECT_EQ(GetForegroundWindow(), before);
}

// Placed before it shows, the window shows there, and moves at once after.
TEST_F(Win32WindowTest, ShowsWherePlaced)
{
    const auto twips = [dpi = int(GetDpiForWindow(window))](int pixels) { return pixels * 1440.0 / dpi; };
    nativeWindow->setOuterLeftInTwips(twips(150));
    nativeWindow->setOuterTopInTwips(twips(100));
    nativeWindow->showTopmostWithoutActivating();
    RECT outer{};
    GetWindowRect(window, &outer);
    EXPECT_EQ(outer.left, 150);
    EXPECT_EQ(outer.top, 100);
    nativeWindow->setOuterTopInTwips(twips(120));
    GetWindowRect(window, &outer);
    EXPECT_EQ(outer.top, 120);
}

// The frame's close button asks; destroying ends the event loop.
TEST_F(Win32WindowTest, ClosesOnRequestAndEndsTheLoop)
{
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(events.closeRequests, 1);
    EXPECT_TRUE(IsWindow(window));
    nativeWindow->destroy();
    windows.runEventLoop();
    EXPECT_FALSE(IsWindow(window));
}

} // namespace
