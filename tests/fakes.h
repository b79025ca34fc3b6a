#pragma once

#include "platform/clock.h"
#include "platform/filesystem.h"
#include "platform/messageboxes.h"
#include "platform/network.h"
#include "platform/services.h"
#include "platform/socketerrors.h"
#include "platform/windowsystem.h"
#include "ui/principal.h"

#include <QCoreApplication>

#include <QStringList>

#include <functional>

// Unloads whatever window a test left behind (loading it first, as an
// unloaded window has nothing to unload) and lets Qt destroy it.
inline void disposeOfWindow()
{
    if (ui::Principal::exists()) {
        ui::Principal &window = ui::Principal::instance();
        window.Text1();
        window.Unload();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Puts the given implementations in place for one test and restores the
// previous ones afterwards.
class ScopedServices
{
public:
    explicit ScopedServices(const platform::Services &replacement) : m_previous(platform::setServices(replacement)) {}
    ~ScopedServices() { platform::setServices(m_previous); }
    ScopedServices(const ScopedServices &) = delete;
    ScopedServices &operator=(const ScopedServices &) = delete;

private:
    platform::Services m_previous;
};

// The real file system, with the executable's directory moved to a test's
// temporary directory, and a hook that runs before each deletion (to look at
// the window at that moment, or to make the deletion fail).
class RedirectedFileSystem : public platform::LocalFileSystem
{
public:
    explicit RedirectedFileSystem(QString directory) : m_directory(std::move(directory)) {}

    QString executableDirectory() const override { return m_directory; }
    QString readFirstLine(const QString &path) const override
    {
        if (beforeRead)
            beforeRead(path);
        return platform::LocalFileSystem::readFirstLine(path);
    }
    void deleteFile(const QString &path) override
    {
        ++deletions;
        if (beforeDelete)
            beforeDelete(path);
        platform::LocalFileSystem::deleteFile(path);
    }

    std::function<void(const QString &)> beforeRead;
    std::function<void(const QString &)> beforeDelete;
    int deletions = 0;

private:
    QString m_directory;
};

// A screen and frame of chosen sizes; records every call in order.
class RecordingWindowSystem : public platform::WindowSystem
{
public:
    QSizeF screenSizeInTwips() const override
    {
        calls << "screen";
        return screen;
    }
    QSizeF outerSizeInTwips(QWidget &) const override
    {
        calls << "outer";
        return outer;
    }
    void setOuterTopInTwips(QWidget &, double top) override { calls << QStringLiteral("top %1").arg(top); }
    void setOuterLeftInTwips(QWidget &, double left) override { calls << QStringLiteral("left %1").arg(left); }
    void showTopmostWithoutActivating(QWidget &window) override
    {
        calls << "show";
        m_real.showTopmostWithoutActivating(window);
    }

    QSizeF screen{15360, 11520};
    QSizeF outer{5820, 2475};
    mutable QStringList calls;

private:
    platform::QtWindowSystem m_real;
};

class FixedClock : public platform::Clock
{
public:
    QTime currentTime() const override { return now.time(); }
    QDateTime currentDateTime() const override { return now; }

    QDateTime now{QDate(2026, 12, 8), QTime(21, 7, 30)};
};

// Message boxes that return at once, as if the user had pressed OK, and
// remember what they showed.
class RecordingMessageBoxes : public platform::MessageBoxes
{
public:
    struct Shown
    {
        QString kind;
        QString prompt;
        QString title;
    };

    void information(const QString &prompt, const QString &title) override
    {
        shown.append({QStringLiteral("information"), prompt, title});
        if (whileShown)
            whileShown();
    }
    void error(const QString &prompt, const QString &title) override
    {
        shown.append({QStringLiteral("error"), prompt, title});
        if (whileShown)
            whileShown();
    }

    // Runs while a box is up: what the user might do meanwhile.
    std::function<void()> whileShown;
    QList<Shown> shown;
};

// The real network, unless a test makes the next sends fail as a system
// would; counts the datagrams handed over.
class FaultyNetwork : public platform::Network
{
public:
    void sendDatagram(const QString &host, quint16 port, const QByteArray &payload) override
    {
        ++attempts;
        if (failWithErrno != 0)
            throw platform::socketerrors::sendFailed(failWithErrno);
        m_real.sendDatagram(host, port, payload);
        ++sent;
    }

    int failWithErrno = 0;
    int attempts = 0;
    int sent = 0;

private:
    platform::SystemNetwork m_real;
};
