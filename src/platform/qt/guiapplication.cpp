#include "platform/qt/guiapplication.h"

#include "notificador_version.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QList>
#include <QTranslator>

#include <cstdlib>

#include <unistd.h>

namespace qtplatform {

namespace {

int fallbackArgc = 1;
char fallbackName[] = "notificador";
char *fallbackArgv[] = {fallbackName, nullptr};

int *commandLineArgc = &fallbackArgc;
char **commandLineArgv = fallbackArgv;

// The notifier has no one to tell: it is started by the messaging system,
// whose standard error nobody reads, and a user sees only the window. Qt's
// own complaints (a missing XDG_RUNTIME_DIR, a font it cannot find) are
// dropped. If the display cannot be opened Qt would print and abort; the
// notifier ends quietly instead, leaving the notification for the next run.
// A fatal error once the application is up is a crash, and ends as one.
bool applicationStarted = false;

void dropMessages(QtMsgType type, const QMessageLogContext &, const QString &)
{
    if (type != QtFatalMsg)
        return;
    if (!applicationStarted)
        ::_exit(0);
    std::abort();
}

bool userChosePlatform()
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return true;
    for (int i = 1; i < *commandLineArgc; ++i) {
        if (qstrcmp(commandLineArgv[i], "-platform") == 0 || qstrcmp(commandLineArgv[i], "--platform") == 0)
            return true;
    }
    return false;
}

// Wayland lets no client keep itself on top or place itself, so where an X
// server is at hand too, the notifier uses it.
void preferX11()
{
    if (!userChosePlatform() && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
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
    if (QCoreApplication::instance())
        return;
    preferX11();
    qInstallMessageHandler(dropMessages);
    auto *application = new QApplication(*commandLineArgc, commandLineArgv);
    applicationStarted = true;

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
