#include "platform/qt/guiapplication.h"

#include "notificador_version.h"
#include "platform/failure.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QList>
#include <QTranslator>

#include <cstdlib>

namespace qtplatform {

namespace {

int fallbackArgc = 1;
char fallbackName[] = "notificador";
char *fallbackArgv[] = {fallbackName, nullptr};

int *commandLineArgc = &fallbackArgc;
char **commandLineArgv = fallbackArgv;

// The notifier has no one to tell: it is started by the messaging system,
// whose standard error nobody reads, and a user sees only the window. Qt's
// own complaints (a missing XDG_RUNTIME_DIR, a font it cannot find, a
// display it cannot open) are dropped. A fatal error is a crash, and ends
// as one.
void dropMessages(QtMsgType type, const QMessageLogContext &, const QString &)
{
    if (type == QtFatalMsg)
        std::abort();
}

// The platform Qt falls back to when none before it can open a display: it
// needs none and shows nothing. Qt ending up on it tells that there is no
// display, where Qt itself would abort.
constexpr char NoDisplayPlatform[] = "minimal";
bool noDisplay = false;

// The platforms to try, in order, with the fallback last; unchanged if they
// name it already: it is then the user's display like any other.
QByteArray withFallback(const QByteArray &platforms, bool &added)
{
    for (const QByteArray &platform : platforms.split(';')) {
        if (platform.split(':').front() == NoDisplayPlatform) {
            added = false;
            return platforms;
        }
    }
    added = true;
    return platforms + ';' + NoDisplayPlatform;
}

// The platforms Qt is to try: the user's choice (-platform on the command
// line, which Qt reads before QT_QPA_PLATFORM); or, where an X server is at
// hand, X11, as Wayland lets no client keep itself on top or place itself;
// or Qt's own choice (Wayland in a Wayland session, else X11). Whether the
// fallback was added after them.
bool choosePlatforms()
{
    bool added = false;
    int chosenAt = 0;
    for (int i = 1; i + 1 < *commandLineArgc; ++i) {
        if (qstrcmp(commandLineArgv[i], "-platform") == 0 || qstrcmp(commandLineArgv[i], "--platform") == 0)
            chosenAt = ++i;
    }
    if (chosenAt > 0) {
        // Qt keeps the command line for the life of the application.
        static QByteArray chosen;
        chosen = withFallback(commandLineArgv[chosenAt], added);
        commandLineArgv[chosenAt] = chosen.data();
        return added;
    }
    QByteArray platforms = qgetenv("QT_QPA_PLATFORM");
    if (platforms.isEmpty() && !qEnvironmentVariableIsEmpty("DISPLAY"))
        platforms = "xcb";
    else if (platforms.isEmpty())
        platforms = qgetenv("XDG_SESSION_TYPE") == "wayland" ? "wayland;xcb" : "xcb";
    qputenv("QT_QPA_PLATFORM", withFallback(platforms, added));
    return added;
}

// The window is designed in Tahoma. Debian ships a free face with its metrics
// for Wine, outside the directories fontconfig searches. Only its regular
// face is taken: the bold one that comes with it is barely heavier, and a
// bold synthesised from the regular face reads as bold. The name is looked
// up among the installed families: QFontDatabase::hasFamily first runs it
// through fontconfig's substitution rules, a pass the lookup can do without.
void provideTahoma()
{
    if (QFontDatabase::families().contains(QStringLiteral("Tahoma"), Qt::CaseInsensitive))
        return;
    const QString wineTahoma = QStringLiteral("/usr/share/wine/fonts/tahoma.ttf");
    if (QFile::exists(wineTahoma))
        QFontDatabase::addApplicationFont(wineTahoma);
}

// Every text of the notifier is Spanish, so the standard texts that Qt
// itself shows beside them (the boxes' buttons, the answer box's context
// menu) are Spanish too, whatever the user's locale. Without the
// translation installed they stay Qt's own English.
void speakSpanish(QCoreApplication &application)
{
    auto *translator = new QTranslator(&application);
    if (translator->load(QStringLiteral("qtbase_es"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

} // namespace

void setCommandLine(int &argc, char **argv)
{
    commandLineArgc = &argc;
    commandLineArgv = argv;
}

void ensureGuiApplication()
{
    if (noDisplay)
        throw platform::SystemFailure(platform::FailureKind::NoDisplay);
    if (QCoreApplication::instance())
        return;
    const bool fallbackAdded = choosePlatforms();
    qInstallMessageHandler(dropMessages);
    auto *application = new QApplication(*commandLineArgc, commandLineArgv);
    if (fallbackAdded && QGuiApplication::platformName() == QLatin1String(NoDisplayPlatform)) {
        noDisplay = true;
        throw platform::SystemFailure(platform::FailureKind::NoDisplay);
    }

    application->setApplicationName(QStringLiteral("notificador"));
    application->setApplicationVersion(QStringLiteral(NOTIFICADOR_VERSION_TEXT));
    // The installed desktop entry, share/applications/notificador.desktop:
    // through it the desktop finds the window's name and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("notificador"));
    // The program ends when its window is unloaded, not when the last window
    // happens to close (a message box, say).
    application->setQuitOnLastWindowClosed(false);
    provideTahoma();
    speakSpanish(*application);
}

} // namespace qtplatform
