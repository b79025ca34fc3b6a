// The intake against whatever another program may leave at the
// notification's path, and whatever may happen to it meanwhile: real files
// in a temporary directory, the real reader, the window on the offscreen
// platform. Whatever is there, the notifier returns, stays within bounded
// memory, and deletes or keeps the file as the rules say.
#include "fakes.h"
#include "intake/inicio.h"
#include "platform/error.h"
#include "platform/guiapplication.h"
#include "ui/captionlabel.h"
#include "ui/principal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <memory>
#include <thread>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using ui::Principal;

namespace {

const QByteArray Head = "MI-Mensaje;08/12/2026 21:00:00;Ana;127.0.0.1;40000;Luis;10.0.0.2;40001;";
const QByteArray NineFields = Head + "Hola";

// The process's peak resident size so far, in bytes.
qint64 peakResidentBytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return qint64(usage.ru_maxrss) * 1024;
}

QString repeated(char16_t c, qsizetype count)
{
    return QString(count, QChar(c));
}

} // namespace

class TestHostile final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<RedirectedFileSystem> m_files;
    std::unique_ptr<ScopedServices> m_services;

    QString notification() const { return m_dir->filePath("MI.zorvi"); }

    void writeNotification(const QByteArray &bytes)
    {
        QFile file(notification());
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }

    // Shown: on screen with these captions, and the file gone.
    void verifyShown(const QString &sender, const QString &message)
    {
        QVERIFY(Principal::exists());
        Principal &window = Principal::instance();
        QVERIFY(window.isVisible());
        QCOMPARE(window.Label1()->caption(), sender);
        QCOMPARE(window.Label2()->caption(), message);
        QCOMPARE(window.Label2()->text(), message.left(ui::CaptionLabel::ShownLimit));
        QVERIFY(!QFileInfo::exists(notification()));
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_files = std::make_unique<RedirectedFileSystem>(m_dir->path());
        platform::Services services = platform::services();
        services.fileSystem = m_files.get();
        m_services = std::make_unique<ScopedServices>(services);
        Inicio::Fields = {};
    }

    void cleanup()
    {
        disposeOfWindow();
        m_services.reset();
        Inicio::Fields = {};
    }

    // First, so that the peak it measures is its own. The line is held as
    // bytes, as text and as fields: a few times its size, never more.
    void aFiftyMegabyteLineIsShownWithinBoundedMemory()
    {
        constexpr qint64 Size = 50 * 1024 * 1024;
        {
            QFile file(notification());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(Head);
            const QByteArray chunk(1024 * 1024, 'x');
            for (qint64 written = Head.size(); written < Size; written += chunk.size())
                QCOMPARE(file.write(chunk.first(qMin(chunk.size(), Size - written))), qMin(chunk.size(), Size - written));
        }
        const qint64 before = peakResidentBytes();
        Inicio::Main();
        const qint64 growth = peakResidentBytes() - before;

        verifyShown(QStringLiteral("Ana"), repeated(u'x', Size - Head.size()));
        qInfo("the peak resident size grew by %lld MB", growth >> 20);
        const qint64 bound = 10 * Size + 200 * 1024 * 1024;
        QVERIFY2(growth < bound, qPrintable(QStringLiteral("peak grew by %1 MB").arg(growth >> 20)));
    }

    void hostileContent_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("sender");
        QTest::addColumn<QString>("message");

        const QString replacement(QChar::ReplacementCharacter);
        QTest::newRow("binary bytes") << QByteArray("\x01\x02;\x7f;\x80\x81;h;1;n;h;2;\x1b[2J\x08") << true
                                      << "\x01\x02" << replacement + replacement << "\x1b[2J\x08";
        QTest::newRow("NUL bytes") << QByteArray("k\0;d;A\0na;h;1;L;h;2;m\0sg", 24) << true
                                   << QString::fromUtf8("k\0", 2) << QString::fromUtf8("A\0na", 4) << QString::fromUtf8("m\0sg", 4);
        QTest::newRow("invalid UTF-8") << QByteArray("k;d;\xff\xfe;h;1;L;h;2;a\xc0\xafz") << true << "k"
                                       << replacement + replacement << "a" + replacement + replacement + "z";
        // A writer cut short in the middle of a character: what came is
        // shown, the broken character as a replacement character.
        QTest::newRow("a character cut short at the line's end") << QByteArray(Head + "caf\xc3\r\n") << true
                                                                 << "MI-Mensaje" << "Ana" << "caf" + replacement;
        QTest::newRow("a character cut short at the file's end") << QByteArray(Head + "caf\xc3") << true
                                                                 << "MI-Mensaje" << "Ana" << "caf" + replacement;
        // The mark says how the file is encoded; it is not part of the record.
        QTest::newRow("UTF-8 byte-order mark") << "\xef\xbb\xbf" + NineFields + "\r\n" << true << "MI-Mensaje"
                                               << "Ana" << "Hola";
        QTest::newRow("no line break") << NineFields << true << "MI-Mensaje" << "Ana" << "Hola";
        QTest::newRow("CR-only line ends") << NineFields + "\rk;d;Otro;h;1;L;h;2;segundo\r" << true << "MI-Mensaje"
                                           << "Ana" << "Hola";
        QTest::newRow("thousands of fields") << NineFields + QByteArray(";x").repeated(5000) << true << "MI-Mensaje"
                                             << "Ana" << "Hola";
        QTest::newRow("thousands of empty fields") << QByteArray(5000, ';') << true << "" << "" << "";
        QTest::newRow("fields of 1 MB") << "k;d;" + QByteArray(1 << 20, 'a') + ";h;1;L;h;2;" + QByteArray(1 << 20, 'b')
                                        << true << "k" << repeated(u'a', 1 << 20) << repeated(u'b', 1 << 20);
        QTest::newRow("binary bytes, eight fields") << QByteArray::fromHex("00ff3b3b3b3b3b3b3b80fe0d0a3b3b3b3b3b3b3b3b")
                                                    << false << "" << "" << "";
        QTest::newRow("a byte-order mark alone") << QByteArray("\xef\xbb\xbf\n") << false << "" << "" << "";
        QTest::newRow("a megabyte of NUL bytes") << QByteArray(1 << 20, '\0') << false << "" << "" << "";
    }

    void hostileContent()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, shown);
        QFETCH(QString, kind);
        QFETCH(QString, sender);
        QFETCH(QString, message);
        writeNotification(bytes);
        Inicio::Main();

        QCOMPARE(m_files->deletions, 1);
        QVERIFY(!QFileInfo::exists(notification()));
        if (!shown) {
            QVERIFY(!Principal::exists());
            return;
        }
        verifyShown(sender, message);
        QCOMPARE(Inicio::Fields[intake::Kind], kind);
    }

    // Only a regular file is a notification: anything else at the path is
    // left alone, and nothing waits on it.
    void notANotification_data()
    {
        QTest::addColumn<QString>("kind");

        QTest::newRow("FIFO") << "fifo";
        QTest::newRow("FIFO with a writer") << "fifo with writer";
        QTest::newRow("directory") << "directory";
        QTest::newRow("dangling symlink") << "dangling";
        QTest::newRow("symlink to a directory") << "link to directory";
    }

    void notANotification()
    {
        QFETCH(QString, kind);
        const QByteArray path = QFile::encodeName(notification());
        int writer = -1;
        if (kind.startsWith("fifo")) {
            QCOMPARE(::mkfifo(path.constData(), 0600), 0);
            if (kind == "fifo with writer") {
                // A writer that never writes: a reader that opened the FIFO
                // would wait for its data forever.
                const int reader = ::open(path.constData(), O_RDONLY | O_NONBLOCK);
                writer = ::open(path.constData(), O_WRONLY | O_NONBLOCK);
                ::close(reader);
                QVERIFY(writer >= 0);
            }
        } else if (kind == "directory") {
            QVERIFY(QDir(m_dir->path()).mkdir("MI.zorvi"));
        } else if (kind == "dangling") {
            QVERIFY(QFile::link(m_dir->filePath("nowhere"), notification()));
        } else {
            QVERIFY(QDir(m_dir->path()).mkdir("elsewhere"));
            QVERIFY(QFile::link(m_dir->filePath("elsewhere"), notification()));
        }
        const QFileInfo before(notification());

        Inicio::Main();
        if (writer >= 0)
            ::close(writer);

        QVERIFY(!Principal::exists());
        QCOMPARE(m_files->deletions, 0);
        const QFileInfo after(notification());
        QVERIFY(after.exists() || after.isSymLink());
        QCOMPARE(after.isDir(), before.isDir());
        QCOMPARE(after.isSymLink(), before.isSymLink());
    }

    // What another program may do to the file between the existence test
    // and the read.
    void changedBeforeTheRead_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<int>("deletions");
        QTest::addColumn<bool>("leftInPlace");

        QTest::newRow("disappears") << "remove" << false << 0 << false;
        QTest::newRow("replaced by a FIFO") << "fifo" << false << 0 << true;
        QTest::newRow("replaced by a directory") << "directory" << false << 0 << true;
        QTest::newRow("emptied") << "truncate" << false << 1 << false;
        QTest::newRow("cut short to eight fields") << "short" << false << 1 << false;
        QTest::newRow("rewritten with another record") << "rewrite" << true << 1 << false;
    }

    void changedBeforeTheRead()
    {
        QFETCH(QString, change);
        QFETCH(bool, shown);
        QFETCH(int, deletions);
        QFETCH(bool, leftInPlace);
        writeNotification(NineFields);
        m_files->beforeRead = [&](const QString &path) {
            const QByteArray name = QFile::encodeName(path);
            if (change != "truncate" && change != "short" && change != "rewrite")
                QFile::remove(path);
            if (change == "fifo")
                ::mkfifo(name.constData(), 0600);
            else if (change == "directory")
                QDir().mkdir(path);
            else if (change == "truncate")
                QFile::resize(path, 0);
            else if (change == "short")
                QFile::resize(path, Head.size() - 1);
            else if (change == "rewrite")
                writeNotification(Head + "otra");
        };
        Inicio::Main();

        QCOMPARE(Principal::exists(), shown);
        if (shown)
            verifyShown(QStringLiteral("Ana"), QStringLiteral("otra"));
        QCOMPARE(m_files->deletions, deletions);
        QCOMPARE(QFileInfo(notification()).exists(), leftInPlace);
    }

    // A writer that holds the file open and is still writing the message
    // while the notifier reads: the notifier shows the part that was there,
    // and the file goes (the writer's later bytes go with it).
    void writtenWhileItIsRead()
    {
        constexpr int Chunks = 400;
        const QByteArray chunk(32 * 1024, 'y');
        const int fd = ::open(QFile::encodeName(notification()).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, Head.constData(), size_t(Head.size())), ssize_t(Head.size()));
        std::atomic<bool> writeFailed = false;
        std::thread writer([&] {
            for (int i = 0; i < Chunks; ++i) {
                if (::write(fd, chunk.constData(), size_t(chunk.size())) != ssize_t(chunk.size()))
                    writeFailed = true;
            }
            if (::write(fd, "\n", 1) != 1)
                writeFailed = true;
        });
        Inicio::Main();
        writer.join();
        ::close(fd);

        QVERIFY(!writeFailed);
        QVERIFY(Principal::exists());
        const QString message = Principal::instance().Label2()->caption();
        QVERIFY(message.size() <= Chunks * chunk.size());
        QCOMPARE(message, repeated(u'y', message.size()));
        QVERIFY(!QFileInfo::exists(notification()));
    }

    // A deletion the system refuses: the message shown stays shown and the
    // file stays for the next run; a record that is dropped stays too.
    void theFileCannotBeDeleted_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("shown");

        QTest::newRow("shown") << NineFields << true;
        QTest::newRow("fewer than nine fields") << QByteArray("k;d;Ana") << false;
        QTest::newRow("empty") << QByteArray() << false;
    }

    void theFileCannotBeDeleted()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, shown);
        writeNotification(bytes);
        m_files->beforeDelete = [](const QString &) {
            throw platform::Error::fromNumber(platform::Error::PermissionDenied);
        };
        Inicio::Main();

        QCOMPARE(Principal::exists(), shown);
        if (shown)
            QVERIFY(Principal::instance().isVisible());
        QCOMPARE(m_files->deletions, 1);
        QFile file(notification());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), bytes);
    }
};

int main(int argc, char **argv)
{
    platform::setCommandLine(argc, argv);
    platform::ensureGuiApplication();
    TestHostile test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hostile.moc"
