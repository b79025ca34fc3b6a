#pragma once

#include "platform/clock.h"
#include "platform/filesystem.h"
#include "platform/services.h"
#include "platform/windowsystem.h"

#include <QStringList>

#include <functional>

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
