#include "platform/messageboxes.h"

#include <QMessageBox>

namespace platform {

namespace {

void showModal(QMessageBox::Icon icon, const QString &title, const QString &prompt)
{
    QMessageBox box(icon, title, prompt, QMessageBox::Ok);
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
