#include "fakes.h"
#include "intake/inicio.h"
#include "platform/error.h"
#include "platform/guiapplication.h"
#include "ui/captionlabel.h"
#include "ui/principal.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <memory>

using ui::Principal;

namespace {

const QByteArray NineFields = "MI-Mensaje;08/12/2026 21:00:00;Ana;127.0.0.1;40000;Luis;10.0.0.2;40001;Hola, ¿qué tal?";

} // namespace

class TestInicio final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<RedirectedFileSystem> m_files;
    std::unique_ptr<RecordingWindowSystem> m_windows;
    std::unique_ptr<ScopedServices> m_services;
    FixedClock m_clock;

    QString notification() const { return m_dir->filePath("MI.zorvi"); }

    void writeNotification(const QByteArray &bytes)
    {
        QFile file(notification());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_files = std::make_unique<RedirectedFileSystem>(m_dir->path());
        m_windows = std::make_unique<RecordingWindowSystem>();
        platform::Services services = platform::services();
        services.fileSystem = m_files.get();
        services.windowSystem = m_windows.get();
        services.clock = &m_clock;
        m_services = std::make_unique<ScopedServices>(services);
        Inicio::Fields = {};
    }

    void cleanup()
    {
        disposeOfWindow();
        m_services.reset();
    }

    void notificationPathIsBesideTheExecutable()
    {
        QCOMPARE(Inicio::notificationPath(), m_dir->path() + "/MI.zorvi");
    }

    void withoutAFileNothingHappens()
    {
        Inicio::Main();
        QVERIFY(!Principal::exists());
        QCOMPARE(m_files->deletions, 0);
        QVERIFY(m_windows->calls.isEmpty());
    }

    void aDirectoryNamedLikeTheFileIsNoNotification()
    {
        QVERIFY(QDir(m_dir->path()).mkdir("MI.zorvi"));
        Inicio::Main();
        QVERIFY(!Principal::exists());
        QCOMPARE(m_files->deletions, 0);
        QVERIFY(QFileInfo(notification()).isDir());
    }

    void aNotificationIsShownAndItsFileDeleted()
    {
        writeNotification(NineFields + "\r\nsegunda línea;ignorada\n");
        Inicio::Main();

        QVERIFY(Principal::exists());
        Principal &window = Principal::instance();
        QCOMPARE(window.Label1()->caption(), QStringLiteral("Ana"));
        QCOMPARE(window.Label2()->caption(), QStringLiteral("Hola, ¿qué tal?"));
        QCOMPARE(window.Label3()->caption(), platform::formatMediumTime(QTime(21, 7, 30)));
        QCOMPARE(window.Text1()->text(), QStringLiteral("Escriba la respuesta aquí..."));
        QVERIFY(window.isVisible());
        QCOMPARE(m_windows->calls.last(), QStringLiteral("show"));
        QVERIFY(!QFile::exists(notification()));
        QCOMPARE(Inicio::Fields.size(), 9);
        QCOMPARE(Inicio::Fields[intake::SenderPort], QStringLiteral("40000"));
    }

    void extraFieldsAreKeptButNotShown()
    {
        writeNotification(NineFields + ";extra;más");
        Inicio::Main();
        QVERIFY(Principal::exists());
        QCOMPARE(Principal::instance().Label2()->caption(), QStringLiteral("Hola, ¿qué tal?"));
        QCOMPARE(Inicio::Fields.size(), 11);
        QCOMPARE(Inicio::Fields[10], QStringLiteral("más"));
    }

    void aMessageWithASeparatorIsCutThere()
    {
        writeNotification("k;d;Ana;h;1;Luis;h;2;antes;después");
        Inicio::Main();
        QCOMPARE(Principal::instance().Label2()->caption(), QStringLiteral("antes"));
    }

    void aShortOrEmptyNotificationIsDroppedSilently_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("loadedBeforeDeletion");
        QTest::addColumn<QString>("label1AtDeletion");

        // Fewer than three fields fail at the sender, with the window loaded
        // and nothing written yet; three to eight fail at the message.
        QTest::newRow("empty file") << QByteArray() << false << QString();
        QTest::newRow("empty first line") << QByteArray("\nk;d;Ana;h;1;Luis;h;2;m") << true << "Remitente";
        QTest::newRow("one field") << QByteArray("solo") << true << "Remitente";
        QTest::newRow("two fields") << QByteArray("k;d") << true << "Remitente";
        QTest::newRow("three fields") << QByteArray("k;d;Ana") << true << "Ana";
        QTest::newRow("eight fields") << QByteArray("k;d;Ana;h;1;Luis;h;2") << true << "Ana";
    }

    void aShortOrEmptyNotificationIsDroppedSilently()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, loadedBeforeDeletion);
        QFETCH(QString, label1AtDeletion);
        writeNotification(bytes);

        bool loadedAtDeletion = false;
        bool visibleAtDeletion = true;
        QString label1;
        m_files->beforeDelete = [&](const QString &) {
            loadedAtDeletion = Principal::exists() && Principal::instance().isLoaded();
            if (loadedAtDeletion) {
                visibleAtDeletion = Principal::instance().isVisible();
                label1 = Principal::instance().Label1()->caption();
            }
        };
        Inicio::Main();

        QCOMPARE(loadedAtDeletion, loadedBeforeDeletion);
        if (loadedBeforeDeletion) {
            QVERIFY(!visibleAtDeletion);
            QCOMPARE(label1, label1AtDeletion);
            QCOMPARE(m_windows->calls.mid(0, 2), (QStringList{"outer", "screen"}));
        }
        QVERIFY(!m_windows->calls.contains("show"));
        QVERIFY(!Principal::exists());
        QVERIFY(!QFile::exists(notification()));
        QCOMPARE(m_files->deletions, 1);
    }

    void aFileThatVanishesBeforeTheReadIsNotDeletedAgain()
    {
        writeNotification(NineFields);
        m_files->beforeRead = [](const QString &path) { QFile::remove(path); };
        Inicio::Main();
        QVERIFY(!Principal::exists());
        QCOMPARE(m_files->deletions, 0);
    }

    void aNewerNotificationPutInPlaceMeanwhileIsLeftForItsOwnRun_data()
    {
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<bool>("shown");

        QTest::newRow("shown") << NineFields << true;
        QTest::newRow("dropped, too short") << QByteArray("k;d;Ana") << false;
    }

    // The messaging system renames the next notification into place while
    // the first is being shown: deleting by name alone would lose it unseen.
    void aNewerNotificationPutInPlaceMeanwhileIsLeftForItsOwnRun()
    {
        QFETCH(QByteArray, first);
        QFETCH(bool, shown);
        const QByteArray next = "MI-Mensaje;d;Eva;127.0.0.1;40000;Luis;10.0.0.2;40001;¿Y mañana?";
        writeNotification(first);
        m_files->beforeDelete = [&](const QString &path) {
            QFile newer(path + ".tmp");
            QVERIFY(newer.open(QIODevice::WriteOnly));
            newer.write(next);
            newer.close();
            QCOMPARE(std::rename(QFile::encodeName(path + ".tmp").constData(), QFile::encodeName(path).constData()), 0);
        };
        Inicio::Main();
        QCOMPARE(Principal::exists(), shown);
        QFile left(notification());
        QVERIFY(left.open(QIODevice::ReadOnly));
        QCOMPARE(left.readAll(), next);
    }

    void aFileThatCannotBeDeletedStaysAndTheWindowStillShows()
    {
        writeNotification(NineFields);
        m_files->beforeDelete = [](const QString &) {
            throw platform::Error::fromNumber(platform::Error::PermissionDenied);
        };
        Inicio::Main();
        QVERIFY(Principal::exists());
        QVERIFY(Principal::instance().isVisible());
        QVERIFY(QFile::exists(notification()));
    }

    void aFailedDeletionOnTheDropPathIsIgnored()
    {
        writeNotification("k;d");
        m_files->beforeDelete = [](const QString &) {
            throw platform::Error::fromNumber(platform::Error::PermissionDenied);
        };
        Inicio::Main();
        QVERIFY(!Principal::exists());
        QVERIFY(QFile::exists(notification()));
    }

    void aFailingLoadDropsTheNotification()
    {
        writeNotification(NineFields);
        struct NoScreen : RecordingWindowSystem
        {
            QSizeF screenSizeInTwips() const override
            {
                throw platform::Error(5, "Llamada a procedimiento o argumento no válidos", "WindowSystem");
            }
        } noScreen;
        platform::Services services = platform::services();
        services.windowSystem = &noScreen;
        ScopedServices scoped(services);

        Inicio::Main();
        QVERIFY(!Principal::exists());
        QVERIFY(!QFile::exists(notification()));
    }

    void binaryContentNeverCrashes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("NUL bytes") << QByteArray("k;d;A\0na;h;1;L;h;2;m\0sg", 23);
        QTest::newRow("invalid UTF-8") << QByteArray("k;d;\xff\xfe;h;1;L;h;2;\xc3");
        QTest::newRow("random bytes") << QByteArray::fromHex("00ff3b3b3b3b3b3b3b3b803bfe0d0a41");
        QTest::newRow("a long line of fields") << QByteArray(2'000'000, ';');
    }

    void binaryContentNeverCrashes()
    {
        QFETCH(QByteArray, bytes);
        writeNotification(bytes);
        Inicio::Main();
        QVERIFY(!QFile::exists(notification()));
        if (Principal::exists())
            QVERIFY(Principal::instance().isVisible());
    }
};

int main(int argc, char **argv)
{
    platform::setCommandLine(argc, argv);
    platform::ensureGuiApplication();
    TestInicio test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_inicio.moc"
