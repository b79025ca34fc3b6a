#include "platform/messageboxes.h"

#include <QApplication>
#include <QMessageBox>

namespace platform {

namespace {

void showModal(QMessageBox::Icon icon, const QString &title, const QString &prompt)
{
    // Owned by the window the user is in, so that the box opens over it and
    // stays above it even when that window is kept above all others.
    QMessageBox box(icon, title, prompt, QMessageBox::Ok, QApplication::activeWindow());
    // The prompt is the system's own text or an error description: never markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace

void QtMessageBoxes::information(const QString &prompt, const QString &title)
{
    showModal(QMessageBox::Information, title, prompt);
}

void QtMessageBoxes::error(const QString &prompt, const QString &title)
{
    showModal(QMessageBox::NoIcon, title, prompt);
}

} // namespace platform
