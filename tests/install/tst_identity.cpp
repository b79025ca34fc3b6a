// What the running program tells the desktop about itself must agree with
// what the install puts beside it: the desktop entry it names, and the
// version the build was given.

#include "platform/qt/guiapplication.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTest>

class TestIdentity final : public QObject
{
    Q_OBJECT

private slots:
    void desktopFileNameIsTheInstalledEntry()
    {
        const QFileInfo entry(QStringLiteral(NOTIFICADOR_DESKTOP_ENTRY));
        QVERIFY2(entry.isFile(), qPrintable(entry.filePath()));
        QCOMPARE(QGuiApplication::desktopFileName() + QStringLiteral(".desktop"), entry.fileName());
    }

    // On X11 the desktop matches windows to entries by WM_CLASS, whose class
    // part Qt takes from the application name.
    void entryNamesTheWindowClass()
    {
        QFile entry(QStringLiteral(NOTIFICADOR_DESKTOP_ENTRY));
        QVERIFY(entry.open(QIODevice::ReadOnly | QIODevice::Text));
        QStringList classes;
        while (!entry.atEnd()) {
            const QString line = QString::fromUtf8(entry.readLine()).trimmed();
            if (line.startsWith(QStringLiteral("StartupWMClass=")))
                classes << line.section(QLatin1Char('='), 1);
        }
        QCOMPARE(classes, QStringList{QCoreApplication::applicationName()});
    }

    void versionIsTheBuildsVersionText()
    {
        QCOMPARE(QCoreApplication::applicationVersion(), QStringLiteral(NOTIFICADOR_VERSION_TEXT));
    }
};

int main(int argc, char **argv)
{
    // The application object is made as in the program.
    qtplatform::setCommandLine(argc, argv);
    qtplatform::ensureGuiApplication();
    TestIdentity test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_identity.moc"
