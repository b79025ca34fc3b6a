#include "platform/qt/qtmessageboxes.h"

#include "platform/qt/guiapplication.h"
#include "platform/qt/qstringconversion.h"

#include <QApplication>
#include <QMessageBox>

namespace qtplatform {

namespace {

void showModal(QMessageBox::Icon icon, const std::u16string &title, const std::u16string &prompt)
{
    ensureGuiApplication();
    // Owned by the window the user is in, so that the box opens over it and
    // stays above it even when that window is kept above all others.
    QMessageBox box(icon, toQString(title), toQString(prompt), QMessageBox::Ok, QApplication::activeWindow());
    // The prompt is the system's own text or an error description: never markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace

void QtMessageBoxes::information(const std::u16string &prompt, const std::u16string &title)
{
    showModal(QMessageBox::Information, title, prompt);
}

void QtMessageBoxes::error(const std::u16string &prompt, const std::u16string &title)
{
    showModal(QMessageBox::NoIcon, title, prompt);
}

} // namespace qtplatform
