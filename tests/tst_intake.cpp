// The intake against whatever another program may leave at the
// notification's path, and whatever may happen to it meanwhile: real files
// in a temporary directory, the real reader, the window on the offscreen
// platform. Whatever is there, the notifier returns, stays within bounded
// memory, and deletes or keeps the file as the rules say.
#include "qtplatform.h"

#include "core/announcement.h"
#include "core/error.h"
#include "intake/firstline.h"
#include "platform/qt/captionlabel.h"
#include "platform/qt/guiapplication.h"
#include "datagramreceiver.h"

#include <QLineEdit>
#include <QProcess>

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

#include <fcntl.h>
#include <locale.h>
#include <spawn.h>
#include <sys/wait.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using qtplatform::CaptionLabel;
using qtplatform::toQString;

namespace {

const QByteArray Head = "MI-Mensaje;08/12/2026 21:00:00;Ana;127.0.0.1;40000;Luis;10.0.0.2;40001;";
const QByteArray NineFields = Head + "Hola";

// While it lives, the process may map at most headroom bytes more than it
// has mapped now. Sanitizers reserve terabytes of shadow memory up front,
// so under them there is no ceiling.
class AddressSpaceCeiling
{
public:
    explicit AddressSpaceCeiling(rlim_t headroom)
    {
        getrlimit(RLIMIT_AS, &m_before);
#if !defined(__SANITIZE_ADDRESS__)
        QFile status("/proc/self/status");
        if (!status.open(QIODevice::ReadOnly))
            return;
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmSize:")) {
                const rlimit ceiling{line.mid(7).trimmed().split(' ').first().toULongLong() * 1024 + headroom,
                                     m_before.rlim_max};
                setrlimit(RLIMIT_AS, &ceiling);
            }
        }
#else
        Q_UNUSED(headroom);
#endif
    }
    ~AddressSpaceCeiling() { setrlimit(RLIMIT_AS, &m_before); }
    AddressSpaceCeiling(const AddressSpaceCeiling &) = delete;
    AddressSpaceCeiling &operator=(const AddressSpaceCeiling &) = delete;

private:
    rlimit m_before{};
};

// While it lives, if asked for, the process can open no further file: the
// descriptor limit is put at the lowest descriptor that is free.
class DescriptorCeiling
{
public:
    explicit DescriptorCeiling(bool active)
    {
        getrlimit(RLIMIT_NOFILE, &m_before);
        if (!active)
            return;
        const int lowestFree = ::dup(0);
        ::close(lowestFree);
        const rlimit ceiling{rlim_t(lowestFree), m_before.rlim_max};
        setrlimit(RLIMIT_NOFILE, &ceiling);
    }
    ~DescriptorCeiling() { setrlimit(RLIMIT_NOFILE, &m_before); }
    DescriptorCeiling(const DescriptorCeiling &) = delete;
    DescriptorCeiling &operator=(const DescriptorCeiling &) = delete;

private:
    rlimit m_before{};
};

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
        // Each label has its field isolated from the text around it.
        const auto isolated = [](const QString &field, qsizetype limit) {
            const QString whole = QChar(u'\u2068') + field + QChar(u'\u2069');
            return whole.size() > limit && limit == qsizetype(announcement::DescribedLimit) ? whole.left(limit) + QChar(u'\u2026')
                                                                                  : whole.left(limit);
        };
        QCOMPARE(window->findChild<CaptionLabel *>("Label1")->caption(), isolated(sender, qsizetype(announcement::DescribedLimit)));
        QCOMPARE(window->findChild<CaptionLabel *>("Label2")->caption(),
                 isolated(message, qsizetype(announcement::DescribedLimit)));
        const QString time = window->findChild<CaptionLabel *>("Label3")->text();
        QVERIFY2(QRegularExpression("^(0[1-9]|1[0-2]):[0-5][0-9] (AM|PM)$").match(time).hasMatch(), qPrintable(time));
        QTRY_VERIFY(!QFileInfo::exists(notification()));
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

    // Whatever the size of the line, at most FirstLineLimit bytes of it are
    // read, and a line cut there is the line: shown and echoed as if it
    // ended there, never with half a character. Each row runs under an
    // address-space ceiling a little above what the process already has,
    // which reading the whole of any of these files would exceed.
    void longLines_data()
    {
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<qint64>("sparseSize"); // the file grown to this size with NUL bytes, or 0
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("message");

        constexpr auto Limit = qsizetype(intake::FirstLineLimit);
        const qsizetype room = Limit - Head.size(); // the message's bytes within the limit
        constexpr qint64 TwoGigabytes = qint64(2) << 30;
        QTest::newRow("2 GB sparse file after a nine-field start")
            << Head << TwoGigabytes << true << QString(room, QChar(u'\0'));
        QTest::newRow("2 GB sparse file, no record") << QByteArray() << TwoGigabytes << false << QString();
        QTest::newRow("a line of 100 MB") << Head + 'x' << qint64(0) << true << QString(room, u'x');
        QTest::newRow("a line break just past the limit")
            << Head + QByteArray(room, 'x') + "\nk;d;Otro;h;1;L;h;2;segundo" << qint64(0) << true << QString(room, u'x');
        QTest::newRow("a character ending at the limit") << Head + QByteArray(room - 2, 'x') + "\xc3\xa9zz" << qint64(0)
                                                         << true << QString(room - 2, u'x') + u'\u00e9';
        QTest::newRow("a two-byte character across the limit")
            << Head + QByteArray(room - 1, 'x') + "\xc3\xa9zz" << qint64(0) << true << QString(room - 1, u'x');
        QTest::newRow("a four-byte character across the limit")
            << Head + QByteArray(room - 2, 'x') + "\xf0\x9f\x98\x80zz" << qint64(0) << true << QString(room - 2, u'x');
    }

    void longLines()
    {
        QFETCH(QByteArray, start);
        QFETCH(qint64, sparseSize);
        QFETCH(bool, shown);
        QFETCH(QString, message);
        if (QTest::currentDataTag() == QByteArray("a line of 100 MB")) {
            // Written in steps, so that the test itself holds 1 MB of it.
            QFile file(notification());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(Head);
            const QByteArray chunk(1 << 20, 'x');
            for (int i = 0; i < 100; ++i)
                QCOMPARE(file.write(chunk), chunk.size());
        } else {
            writeNotification(start);
            if (sparseSize > 0)
                QVERIFY(QFile::resize(notification(), sparseSize));
        }
        {
            const AddressSpaceCeiling ceiling(256 << 20);
            m_inicio->Main();
        }
        QCOMPARE(m_inicio->Principal.isLoaded(), shown);
        QTRY_VERIFY(!QFileInfo::exists(notification()));
        if (shown)
            verifyShown(QStringLiteral("Ana"), message);
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
        QTest::newRow("NUL bytes") << QByteArray("k\0;d;Ana;h;1;L;h;2;m\0sg", 23) << true
                                   << QString::fromUtf8("k\0", 2) << "Ana" << QString::fromUtf8("m\0sg", 4);
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
        QTest::newRow("fields of 500 kB") << "k;d;" + QByteArray(500 << 10, 'a') + ";h;1;L;h;2;" + QByteArray(500 << 10, 'b')
                                          << true << "k" << repeated(u'a', 500 << 10) << repeated(u'b', 500 << 10);
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

        QTRY_COMPARE(files().deletions, 1);
        QVERIFY(!QFileInfo::exists(notification()));
        QCOMPARE(m_inicio->Principal.isLoaded(), shown);
        if (!shown)
            return;
        verifyShown(sender, message);
        QCOMPARE(toQString(m_inicio->Fields[intake::Kind]), kind);
    }

    // The file is read, and the answer sent, in the locale's encoding;
    // the parties' fields go back byte for byte, whatever the locale makes
    // of them. The encoding is read once per process, so a row in another
    // locale runs in a process of its own.
    void answerInTheLocale_data()
    {
        QTest::addColumn<QByteArray>("locale");
        QTest::addColumn<QByteArray>("sender");  // position 2, as written
        QTest::addColumn<QString>("shown");      // as the window has it
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("answer");  // position 8 as sent

        QTest::newRow("Latin-1 name under UTF-8")
            << QByteArray("C.UTF-8") << QByteArray("Jos\xe9") << QStringLiteral("Jos\uFFFD") << QStringLiteral("s\u00ed")
            << QByteArray("s\xc3\xad");
        QTest::newRow("Latin-1 name under ISO-8859-1")
            << QByteArray("es_ES.ISO-8859-1") << QByteArray("Mu\xf1oz") << QStringLiteral("Mu\u00f1oz")
            << QStringLiteral("a\u00f1o \u20ac \u0142 \U0001F600") << QByteArray("a\xf1o ? ? ?");
        // Decoders that hold a character back in case a mark follows it.
        QTest::newRow("Vietnamese under CP1258")
            << QByteArray("vi_VN.CP1258") << QByteArray("Ana") << QStringLiteral("Ana") << QStringLiteral("Vi\u1ec7t")
            << QByteArray("Vi\xea\xf2t");
        QTest::newRow("Vietnamese under TCVN5712-1") << QByteArray("vi_VN.TCVN5712-1") << QByteArray("Ana")
                                                     << QStringLiteral("Ana") << QStringLiteral("a") << QByteArray("a");
        QTest::newRow("Hebrew under CP1255")
            << QByteArray("yi_US.CP1255") << QByteArray("\xee\xf9\xe4") << QStringLiteral("\u05de\u05e9\u05d4")
            << QStringLiteral("a") << QByteArray("a");
        QTest::newRow("Tamil under TSCII")
            << QByteArray("ta_IN.TSCII") << QByteArray("\xbe\xa1\xc1\x8a")
            << QStringLiteral("\u0ba4\u0bbe\u0bae\u0bb8\u0bcd") << QStringLiteral("a") << QByteArray("a");
    }

    void answerInTheLocale()
    {
        QFETCH(QByteArray, locale);
        QFETCH(QByteArray, sender);
        QFETCH(QString, shown);
        QFETCH(QString, typed);
        QFETCH(QByteArray, answer);
        const QByteArray all = qgetenv("LC_ALL");
        if ((all.isEmpty() ? qgetenv("LC_CTYPE") : all) != locale) {
            // The encoding alone: the time keeps the form the checks know.
            QProcess row;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.remove("LC_ALL");
            environment.insert("LC_CTYPE", QString::fromLatin1(locale));
            // The row's locale, built for it alone: no system need have it.
            QTemporaryDir built;
            QProcess localedef;
            const QList<QByteArray> name = locale.split('.');
            localedef.start("localedef", {"-c", "-i", name[0], "-f", name.value(1), built.filePath(locale)});
            localedef.waitForFinished(30000);
            environment.insert("LOCPATH", built.path());
            row.setProcessEnvironment(environment);
            row.setProcessChannelMode(QProcess::MergedChannels);
            row.start(QCoreApplication::applicationFilePath(),
                      {QStringLiteral("answerInTheLocale:") + QString::fromUtf8(QTest::currentDataTag())});
            QVERIFY(row.waitForFinished(40000));
            QVERIFY2(row.exitStatus() == QProcess::NormalExit && row.exitCode() == 0, row.readAll().constData());
            return;
        }
        const locale_t installed = newlocale(LC_CTYPE_MASK, locale.constData(), locale_t(nullptr));
        QVERIFY2(installed, "locale not built");
        freelocale(installed);

        DatagramReceiver receiver("127.0.0.1", 0);
        QVERIFY2(receiver.isOpen(), qPrintable(receiver.errorString()));
        const QByteArray port = QByteArray::number(receiver.port());
        writeNotification("MI-Mensaje;d;" + sender + ";127.0.0.1;" + port + ";Luis;10.0.0.2;40001;Hola\n");
        m_inicio->Main();
        verifyShown(shown, QStringLiteral("Hola"));

        const MessageBoxUser user;
        qtplatform::QtWindow *window = shownWindow(*m_inicio);
        window->activateWindow();
        auto *text1 = window->findChild<QLineEdit *>("Text1");
        QVERIFY(text1);
        // The first key replaces the hint; the rest is pasted, as a
        // character beyond U+FFFF cannot be typed as one key.
        QTest::sendKeyEvent(QTest::Click, text1, Qt::Key_unknown, typed.left(1), Qt::NoModifier);
        text1->insert(typed.mid(1));
        QTest::keyClick(text1, Qt::Key_Return);
        QVERIFY(user.shown.isEmpty());

        const auto datagram = receiver.receive(2000);
        QVERIFY(datagram);
        const QByteArray &payload = datagram->payload;
        QVERIFY2(payload.startsWith("MI-Notificar;"), payload.constData());
        const QByteArray afterTheDate = payload.mid(payload.indexOf(';', 13) + 1);
        QCOMPARE(afterTheDate, "Luis;10.0.0.2;40001;" + sender + ";127.0.0.1;" + port + ";" + answer);
    }

    // The executable finds its notification in a folder whose name is no
    // UTF-8 (made under another locale, or by a program that writes names
    // in Latin-1): a record too short to show is read and dropped, so the
    // file goes and nothing waits for a user.
    void runFromAFolderNamedInLatin1()
    {
        // Qt names files in UTF-8 alone: the folder is handled by its bytes.
        namespace fs = std::filesystem;
        const fs::path folder = fs::path(QFile::encodeName(m_dir->path()).toStdString()) / "notificador-Jos\xe9";
        fs::create_directory(folder);
        // QTemporaryDir cannot name it either.
        const auto removeFolder = qScopeGuard([&] { fs::remove_all(folder); });
        const fs::path executable = folder / "notificador";
        fs::copy_file(NOTIFICADOR_EXECUTABLE, executable);
        fs::permissions(executable, fs::perms::owner_all);
        const fs::path file = folder / "MI.zorvi";
        std::ofstream(file) << "MI-Mensaje;d;Ana\n";
        QVERIFY(fs::exists(file));

        char *arguments[] = {const_cast<char *>(executable.c_str()), nullptr};
        pid_t run = 0;
        QCOMPARE(::posix_spawn(&run, executable.c_str(), nullptr, nullptr, arguments, environ), 0);
        int status = 0;
        QCOMPARE(::waitpid(run, &status, 0), run);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
        QVERIFY(!fs::exists(file));
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
        // A file that could not be read stays for a later run.
        QTest::newRow("no descriptor left to open it") << "descriptors" << false << 0 << "file";
        QTest::newRow("unreadable (mode 0200)") << "unreadable" << false << 0 << "file";
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
        } else if (change == "descriptors" || change == "unreadable") {
            writeNotification(NineFields);
            if (change == "unreadable") {
                if (::geteuid() == 0)
                    QSKIP("root reads any file");
                QVERIFY(QFile::setPermissions(notification(), QFileDevice::WriteOwner));
            }
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

        {
            const DescriptorCeiling ceiling(change == "descriptors");
            m_inicio->Main();
        }
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
        QTRY_VERIFY(!QFileInfo::exists(notification()));
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
                throw core::Error::fromNumber(core::Error::PermissionDenied);
            QVERIFY(writeFile(path + ".tmp", newer));
            QCOMPARE(std::rename(QFile::encodeName(path + ".tmp").constData(), QFile::encodeName(path).constData()), 0);
        };
        m_inicio->Main();

        QCOMPARE(m_inicio->Principal.isLoaded(), shown);
        if (shown)
            QVERIFY(shownWindow(*m_inicio)->isVisible());
        QTRY_COMPARE(files().deletions, 1);
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
