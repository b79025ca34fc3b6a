// The intake against whatever another program may leave at the
// notification's path, and whatever may happen to it meanwhile: real files
// in a temporary directory, the real reader, the window on the offscreen
// platform. Whatever is there, the notifier returns, stays within bounded
// memory, and deletes or keeps the file as the rules say.
#include "qtplatform.h"

#include "platform/error.h"
#include "platform/qt/captionlabel.h"
#include "platform/qt/guiapplication.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <cstdio>
#include <memory>
#include <thread>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using qtplatform::CaptionLabel;
using qtplatform::toQString;

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

QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

} // namespace

class TestIntake final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TestPlatform> m_platform;
    std::unique_ptr<Inicio> m_inicio;

    QString notification() const { return m_dir->filePath("MI.zorvi"); }
    RedirectedFileSystem &files() { return m_platform->files; }

    void writeNotification(const QByteArray &bytes) { QVERIFY(writeFile(notification(), bytes)); }

    // On screen with these captions, the time of arrival beside them, and
    // the file gone.
    void verifyShown(const QString &sender, const QString &message)
    {
        qtplatform::QtWindow *window = shownWindow(*m_inicio);
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QCOMPARE(toQString(m_inicio->Fields[intake::SenderName]), sender);
        QCOMPARE(toQString(m_inicio->Fields[intake::MessageText]), message);
        QCOMPARE(window->findChild<CaptionLabel *>("Label1")->text(), sender.left(CaptionLabel::ShownLimit));
        QCOMPARE(window->findChild<CaptionLabel *>("Label2")->text(), message.left(CaptionLabel::ShownLimit));
        const QString time = window->findChild<CaptionLabel *>("Label3")->text();
        QVERIFY2(QRegularExpression("^(0[1-9]|1[0-2]):[0-5][0-9] (AM|PM)$").match(time).hasMatch(), qPrintable(time));
        QVERIFY(!QFileInfo::exists(notification()));
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_platform = std::make_unique<TestPlatform>(m_dir->path());
        m_inicio = std::make_unique<Inicio>(*m_platform);
    }

    void cleanup()
    {
        m_inicio.reset();
        m_platform.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_dir.reset();
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
        m_inicio->Main();
        const qint64 growth = peakResidentBytes() - before;

        verifyShown(QStringLiteral("Ana"), repeated(u'x', Size - Head.size()));
        qInfo("the peak resident size grew by %lld MB", growth >> 20);
        const qint64 bound = 10 * Size + 200 * 1024 * 1024;
        QVERIFY2(growth < bound, qPrintable(QStringLiteral("peak grew by %1 MB").arg(growth >> 20)));
    }

    // Whatever the bytes, the file goes: shown if its first line has nine
    // fields, dropped without a word if not.
    void content_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("sender");
        QTest::addColumn<QString>("message");

        const QString replacement(QChar::ReplacementCharacter);
        QTest::newRow("non-ASCII text and a second line")
            << QByteArray(Head + "Hola, \xc2\xbfqu\xc3\xa9 tal?\r\nsegunda l\xc3\xadnea;ignorada\n") << true
            << "MI-Mensaje" << "Ana" << QStringLiteral("Hola, ¿qué tal?");
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
        QTest::newRow("empty file") << QByteArray() << false << "" << "" << "";
        QTest::newRow("binary bytes, eight fields") << QByteArray::fromHex("00ff3b3b3b3b3b3b3b80fe0d0a3b3b3b3b3b3b3b3b")
                                                    << false << "" << "" << "";
        QTest::newRow("a byte-order mark alone") << QByteArray("\xef\xbb\xbf\n") << false << "" << "" << "";
        QTest::newRow("a megabyte of NUL bytes") << QByteArray(1 << 20, '\0') << false << "" << "" << "";
    }

    void content()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, shown);
        QFETCH(QString, kind);
        QFETCH(QString, sender);
        QFETCH(QString, message);
        writeNotification(bytes);
        m_inicio->Main();

        QCOMPARE(files().deletions, 1);
        QVERIFY(!QFileInfo::exists(notification()));
        QCOMPARE(m_inicio->Principal.isLoaded(), shown);
        if (!shown)
            return;
        verifyShown(sender, message);
        QCOMPARE(toQString(m_inicio->Fields[intake::Kind]), kind);
    }

    // Only a regular file is a notification: anything else at the path is
    // left alone, and nothing waits on it; a file that goes or changes
    // between the existence test and the read is taken as it is then.
    void changesAtThePath_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<int>("deletions");
        QTest::addColumn<QString>("left");

        QTest::newRow("nothing there") << "nothing" << false << 0 << "nothing";
        QTest::newRow("FIFO") << "fifo" << false << 0 << "fifo";
        QTest::newRow("FIFO with a writer") << "fifo with writer" << false << 0 << "fifo";
        QTest::newRow("directory") << "directory" << false << 0 << "directory";
        QTest::newRow("dangling symlink") << "dangling" << false << 0 << "link";
        QTest::newRow("symlink to a directory") << "link to directory" << false << 0 << "link";
        QTest::newRow("vanishes before the read") << "read: remove" << false << 0 << "nothing";
        QTest::newRow("replaced by a FIFO before the read") << "read: fifo" << false << 0 << "fifo";
        QTest::newRow("replaced by a directory before the read") << "read: directory" << false << 0 << "directory";
        QTest::newRow("emptied before the read") << "read: truncate" << false << 1 << "nothing";
        QTest::newRow("cut to eight fields before the read") << "read: short" << false << 1 << "nothing";
        QTest::newRow("rewritten before the read") << "read: rewrite" << true << 1 << "nothing";
    }

    void changesAtThePath()
    {
        QFETCH(QString, change);
        QFETCH(bool, shown);
        QFETCH(int, deletions);
        QFETCH(QString, left);
        const QByteArray path = QFile::encodeName(notification());
        int writer = -1;
        if (change.startsWith("fifo")) {
            QCOMPARE(::mkfifo(path.constData(), 0600), 0);
            if (change == "fifo with writer") {
                // A writer that never writes: a reader that opened the FIFO
                // would wait for its data forever.
                const int reader = ::open(path.constData(), O_RDONLY | O_NONBLOCK);
                writer = ::open(path.constData(), O_WRONLY | O_NONBLOCK);
                ::close(reader);
                QVERIFY(writer >= 0);
            }
        } else if (change == "directory") {
            QVERIFY(QDir(m_dir->path()).mkdir("MI.zorvi"));
        } else if (change == "dangling") {
            QVERIFY(QFile::link(m_dir->filePath("nowhere"), notification()));
        } else if (change == "link to directory") {
            QVERIFY(QDir(m_dir->path()).mkdir("elsewhere"));
            QVERIFY(QFile::link(m_dir->filePath("elsewhere"), notification()));
        } else if (change.startsWith("read: ")) {
            writeNotification(NineFields);
            files().beforeRead = [&, what = change.mid(6)](const QString &path) {
                const QByteArray name = QFile::encodeName(path);
                if (what == "remove" || what == "fifo" || what == "directory")
                    QFile::remove(path);
                if (what == "fifo")
                    ::mkfifo(name.constData(), 0600);
                else if (what == "directory")
                    QDir().mkdir(path);
                else if (what == "truncate")
                    QFile::resize(path, 0);
                else if (what == "short")
                    QFile::resize(path, Head.size() - 1);
                else if (what == "rewrite")
                    writeNotification(Head + "otra");
            };
        }

        m_inicio->Main();
        if (writer >= 0)
            ::close(writer);

        QCOMPARE(m_inicio->Principal.isLoaded(), shown);
        if (shown)
            verifyShown(QStringLiteral("Ana"), QStringLiteral("otra"));
        QCOMPARE(files().deletions, deletions);
        const QFileInfo after(notification());
        const QString found = after.isSymLink() ? "link"
                              : after.isDir()   ? "directory"
                              : after.exists()  ? (after.isFile() ? "file" : "fifo")
                                                : "nothing";
        QCOMPARE(found, left);
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
        m_inicio->Main();
        writer.join();
        ::close(fd);

        QVERIFY(!writeFailed);
        QVERIFY(m_inicio->Principal.isLoaded());
        const QString message = toQString(m_inicio->Fields[intake::MessageText]);
        QVERIFY(message.size() <= Chunks * chunk.size());
        QCOMPARE(message, repeated(u'y', message.size()));
        QVERIFY(!QFileInfo::exists(notification()));
    }

    // What may happen at the moment of the deletion: the messaging system
    // renames the next notification into place (deleting by name alone would
    // lose it unseen), or the system refuses the deletion (the message shown
    // stays shown, and the file stays for the next run).
    void atTheDeletion_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("event");
        QTest::addColumn<bool>("shown");

        QTest::newRow("a newer one renamed into place, shown") << NineFields << "newer" << true;
        QTest::newRow("a newer one renamed into place, too short") << QByteArray("k;d;Ana") << "newer" << false;
        QTest::newRow("deletion refused, shown") << NineFields << "refused" << true;
        QTest::newRow("deletion refused, too short") << QByteArray("k;d;Ana") << "refused" << false;
        QTest::newRow("deletion refused, empty") << QByteArray() << "refused" << false;
    }

    void atTheDeletion()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, event);
        QFETCH(bool, shown);
        const QByteArray newer = "MI-Mensaje;d;Eva;127.0.0.1;40000;Luis;10.0.0.2;40001;\xc2\xbfY ma\xc3\xb1" "ana?";
        writeNotification(bytes);
        files().beforeDelete = [&](const QString &path) {
            if (event == "refused")
                throw platform::Error::fromNumber(platform::Error::PermissionDenied);
            QVERIFY(writeFile(path + ".tmp", newer));
            QCOMPARE(std::rename(QFile::encodeName(path + ".tmp").constData(), QFile::encodeName(path).constData()), 0);
        };
        m_inicio->Main();

        QCOMPARE(m_inicio->Principal.isLoaded(), shown);
        if (shown)
            QVERIFY(shownWindow(*m_inicio)->isVisible());
        QCOMPARE(files().deletions, 1);
        QCOMPARE(contentsOf(notification()), event == "newer" ? newer : bytes);
    }
};

int main(int argc, char **argv)
{
    qtplatform::setCommandLine(argc, argv);
    qtplatform::ensureGuiApplication();
    TestIntake test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_intake.moc"
