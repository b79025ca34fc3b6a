// What each window does with a paste into the answer box, against the real
// system: the window Principal, core and all; only the paste is made the
// platform's way, through the box's own paste.
#include "core/texts.h"
#include "intake/notificationrecord.h"
#include "platform/native.h"
#include "ui/principal.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include "platform/win32/win32window.h"
#else
#include "platform/qt/qtwindow.h"
#include "platform/qt/windowhandle.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#endif

namespace {

int argc = 1;
char name[] = "contract_window";
char *argv[] = {name, nullptr};
const std::unique_ptr<platform::Platform> native = platform::makeNativePlatform(argc, argv);

enum class Edit { Paste, Delete, Cut };

// Selects from..to in the answer box and pastes the text there, or presses Delete, or cuts.
void paste(platform::NativeWindow &window, int from, int to, std::u16string_view text, Edit how = Edit::Paste)
{
#ifdef _WIN32
    const HWND handle = static_cast<win32platform::Win32Window &>(window).handle();
    const HWND box = FindWindowExW(handle, nullptr, L"Edit", nullptr);
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    *std::copy(text.begin(), text.end(), static_cast<wchar_t *>(GlobalLock(memory))) = L'\0';
    GlobalUnlock(memory);
    ASSERT_TRUE(OpenClipboard(box) && EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, memory) && CloseClipboard());
    SendMessageW(box, EM_SETSEL, WPARAM(from), LPARAM(to));
    SendMessageW(box, how == Edit::Paste ? WM_PASTE : how == Edit::Cut ? WM_CUT : WM_KEYDOWN, VK_DELETE, 0);
#else
    const qtplatform::QtWindow *handle = static_cast<qtplatform::WindowHandle &>(window).window();
    auto *box = handle->findChild<QLineEdit *>(QStringLiteral("Text1"));
    QGuiApplication::clipboard()->setText(QString::fromUtf16(text.data(), qsizetype(text.size())));
    box->setSelection(from, to - from);
    // Shift+Insert pastes, Shift+Delete cuts; no key types anything.
    QKeyEvent key(QEvent::KeyPress, how == Edit::Paste ? Qt::Key_Insert : Qt::Key_Delete,
                  how == Edit::Delete ? Qt::NoModifier : Qt::ShiftModifier);
    QApplication::sendEvent(box, &key);
#endif
}

struct PasteCase
{
    std::u16string boxText;
    int from, to; // the selection pasted over
    std::u16string pasted, answer;
    Edit how = Edit::Paste;
};

const std::u16string Hint(texts::HintText);
const PasteCase PasteCases[] = {
    {Hint, 11, 11, u"uno\r\ndos\rtres\ncuatro", u"uno dos tres cuatro"},
    {Hint, 11, 11, std::u16string(150, u'x'), std::u16string(100, u'x')}, // a whole box's worth beside the hint
    {Hint, 0, 7, u"Hola", u"Hola"},
    {u"Hola Ana", 5, 8, u"Luis\r\n", u"Hola Luis "},
    {Hint, 0, 0, u"", u"", Edit::Delete}, // Home then Delete: the hint gives way to any edit
    {Hint, 8, 10, u"", u"", Edit::Cut},
};

class Paste : public testing::TestWithParam<PasteCase> {};

// The paste is one line, the hint gives way to it, and the box keeps to its
// 100 characters: after it one more goes in only while there is room.
TEST_P(Paste, GivesTheAnswer)
{
    const PasteCase &row = GetParam();
    const intake::FieldArray fields;
    ui::PrincipalReference principal(*native, fields);
    principal->Text1().setText(row.boxText);
    paste(principal->hWnd(), row.from, row.to, row.pasted, row.how);
    EXPECT_EQ(principal->Text1().text(), row.answer);
    const int end = int(row.answer.size());
    paste(principal->hWnd(), end, end, u"z");
    EXPECT_EQ(principal->Text1().text(), end < 100 ? row.answer + u"z" : row.answer);
}

INSTANTIATE_TEST_SUITE_P(Window, Paste, testing::ValuesIn(PasteCases));

} // namespace
