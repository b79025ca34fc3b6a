#pragma once

// What the Qt tests share: the Linux platform with its real parts, the
// executable's directory moved to a test's own, and a user who closes
// every message box.
#include "intake/inicio.h"
#include "platform/platform.h"
#include "platform/qt/localetextcodec.h"
#include "platform/qt/localfilesystem.h"
#include "platform/qt/qstringconversion.h"
#include "platform/qt/qteventloop.h"
#include "platform/qt/qtmessageboxes.h"
#include "platform/qt/qtwindow.h"
#include "platform/qt/qtwindowsystem.h"
#include "platform/qt/systemclock.h"
#include "platform/qt/systemnetwork.h"
#include "platform/qt/windowhandle.h"

#include <QApplication>
#include <QFile>
#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

// The real file system, with the executable's directory moved to a test's
// temporary directory, and hooks that run before the claim and before each
// deletion: to change the file meanwhile as another program may, or to
// make the deletion fail as a system can refuse it.
class RedirectedFileSystem : public qtplatform::LocalFileSystem
{
public:
    explicit RedirectedFileSystem(const QString &directory) : m_directory(qtplatform::toU16String(directory)) {}

    std::u16string executableDirectory() const override { return m_directory; }
    std::unique_ptr<platform::FileReader> claim(const std::u16string &path) override
    {
        if (beforeRead)
            beforeRead(qtplatform::toQString(path));
        return LocalFileSystem::claim(path);
    }
    void deleteFile(const std::u16string &path) override
    {
        ++deletions;
        if (beforeDelete)
            beforeDelete(qtplatform::toQString(path));
        LocalFileSystem::deleteFile(path);
    }

    std::function<void(const QString &)> beforeRead;
    std::function<void(const QString &)> beforeDelete;
    int deletions = 0;

private:
    std::u16string m_directory;
};

// The Linux platform, reading its notification from the given directory.
class TestPlatform final : public platform::Platform
{
public:
    explicit TestPlatform(const QString &directory) : files(directory) {}

    platform::FileSystem &fileSystem() override { return files; }
    platform::Clock &clock() override { return systemClock; }
    platform::WindowSystem &windowSystem() override { return windows; }
    platform::MessageBoxes &messageBoxes() override { return boxes; }
    std::shared_ptr<platform::Network> network() override { return systemNetwork; }
    platform::EventLoop &eventLoop() override { return loop; }
    const platform::TextCodec &textCodec() override { return qtplatform::LocaleTextCodec::ofThisProcess(); }

    RedirectedFileSystem files;
    qtplatform::SystemClock systemClock;
    qtplatform::QtWindowSystem windows;
    qtplatform::QtMessageBoxes boxes;
    std::shared_ptr<qtplatform::SystemNetwork> systemNetwork = std::make_shared<qtplatform::SystemNetwork>();
    qtplatform::QtEventLoop loop;
};

// The Qt window behind a native window the core holds.
inline qtplatform::QtWindow *qtWindowOf(platform::NativeWindow &window)
{
    return static_cast<qtplatform::WindowHandle &>(window).window();
}

// The Qt window of the notification, if it is loaded.
inline qtplatform::QtWindow *shownWindow(Inicio &inicio)
{
    return inicio.Principal.isLoaded() ? qtWindowOf(inicio.Principal->hWnd()) : nullptr;
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// While it lives, every message box that opens is closed with OK once it is
// on screen, as a user would, and what it showed is kept.
class MessageBoxUser final : public QObject
{
public:
    struct Shown
    {
        QMessageBox::Icon icon;
        QString title;
        QString text;
        Qt::TextFormat format;
    };

    MessageBoxUser() { qApp->installEventFilter(this); }
    ~MessageBoxUser() override { qApp->removeEventFilter(this); }

    QList<Shown> shown;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *box = qobject_cast<QMessageBox *>(watched);
        if (box && event->type() == QEvent::Show) {
            shown.append({box->icon(), box->windowTitle(), box->text(), box->textFormat()});
            QMetaObject::invokeMethod(
                box, [box = QPointer<QMessageBox>(box)] { if (box) box->accept(); }, Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }
};
