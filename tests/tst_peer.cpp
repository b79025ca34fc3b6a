#include "listen.h"
#include "notify.h"

#include "platform/qt/systemnetwork.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

// The peer tool: what it writes for the notifier, and how it shows answers.
class TestPeer final : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    // A stand-in notifier that copies what it finds beside itself, and notes
    // where its standard output and error lead ("streams", written last).
    QString fakeNotifier()
    {
        const QString path = m_dir.filePath("notificador");
        QFile script(path);
        if (!script.open(QIODevice::WriteOnly))
            return {};
        script.write("#!/bin/sh\ncd \"$(dirname \"$0\")\" || exit 1\n"
                     "streams=$(readlink /proc/$$/fd/1 /proc/$$/fd/2)\n"
                     "printf '%s\\n' \"$streams\" > streams.part\n"
                     "cp MI.zorvi seen && rm MI.zorvi && mv streams.part streams\n");
        script.close();
        script.setPermissions(script.permissions() | QFile::ExeOwner);
        return path;
    }

    QByteArray readFile(const QString &name)
    {
        QFile file(m_dir.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QFile::remove(m_dir.filePath("MI.zorvi"));
        QFile::remove(m_dir.filePath("seen"));
        QFile::remove(m_dir.filePath("streams"));
    }

    void notifyWritesOneRecordAndStartsTheNotifier_data()
    {
        QTest::addColumn<bool>("wait");
        QTest::addColumn<QByteArray>("streams");

        // Waited for, the notifier shares the caller's streams; left to run
        // on, it holds none of them, so a caller reading the peer's output
        // sees its end at once.
        QByteArray own;
        for (const char *fd : {"/proc/self/fd/1", "/proc/self/fd/2"}) {
            char target[4096];
            const ssize_t length = ::readlink(fd, target, sizeof target);
            own += QByteArray(target, length > 0 ? length : 0) + '\n';
        }
        QTest::newRow("--wait") << true << own;
        QTest::newRow("left to run on") << false << QByteArray("/dev/null\n/dev/null\n");
    }

    void notifyWritesOneRecordAndStartsTheNotifier()
    {
        QFETCH(bool, wait);
        QFETCH(QByteArray, streams);
        const QString notifier = fakeNotifier();
        QStringList arguments{"peer", notifier, "--from", "Ana García", "--message", "¿Vienes?", "--port", "41000",
                              "--to", "Luis"};
        if (wait)
            arguments << "--wait";
        QCOMPARE(runNotify(arguments), 0);
        QTRY_VERIFY(QFile::exists(m_dir.filePath("streams")));
        QCOMPARE(readFile("streams"), streams);
        const QList<QByteArray> fields = readFile("seen").split(';');
        QCOMPARE(fields.size(), 9);
        QCOMPARE(fields[0], "MI-Mensaje");
        QCOMPARE(fields[2], QStringLiteral("Ana García").toUtf8());
        QCOMPARE(fields[3], "127.0.0.1");
        QCOMPARE(fields[4], "41000");
        QCOMPARE(fields[5], "Luis");
        QCOMPARE(fields[8], QStringLiteral("¿Vienes?\n").toUtf8());
    }

    void notifyRefuses_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<bool>("pending");

        QTest::newRow("a separator in the message") << QStringList{"--message", "uno;dos"} << false;
        QTest::newRow("a line break in the name") << QStringList{"--from", "Ana\nGarcía"} << false;
        QTest::newRow("a notification waiting, not taken in time") << QStringList{"--timeout", "0.2"} << true;
    }

    void notifyRefuses()
    {
        QFETCH(QStringList, options);
        QFETCH(bool, pending);
        const QString notifier = fakeNotifier();
        if (pending) {
            QFile waiting(m_dir.filePath("MI.zorvi"));
            QVERIFY(waiting.open(QIODevice::WriteOnly));
            waiting.write("earlier;record\n");
        }
        QCOMPARE(runNotify(QStringList{"peer", notifier, "--wait"} + options), 2);
        QCOMPARE(readFile("MI.zorvi"), pending ? QByteArray("earlier;record\n") : QByteArray());
        QVERIFY(!QFile::exists(m_dir.filePath("seen")));
    }

    // Under a locale that is not UTF-8 the tool speaks its encoding, as the
    // notifier does: in its arguments, the record and the answers printed.
    void speaksTheLocalesEncoding()
    {
        QProcess peer;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("LC_ALL", "es_ES.ISO-8859-1");
        peer.setProcessEnvironment(environment);
        // The shell hands the argument's bytes over; Qt would hand UTF-8.
        peer.start("sh", {"-c", "exec \"$0\" notify \"$1\" --wait --from \"$(printf 'Garc\\355a')\"", NOTIFICADOR_PEER,
                          fakeNotifier()});
        QVERIFY(peer.waitForFinished(20000));
        QCOMPARE(readFile("seen").split(';').value(2), "Garc\355a");
        peer.start(NOTIFICADOR_PEER, {"listen", "--port", "0", "--count", "1"});
        QVERIFY(peer.waitForReadyRead(20000));
        qtplatform::SystemNetwork network;
        const quint16 port = peer.readLine().split(' ').last().trimmed().toUShort();
        network.sendTo(network.resolve(u"127.0.0.1", port)[0], "k;S\xed");
        QVERIFY(peer.waitForFinished(20000));
        QVERIFY(peer.readAll().endsWith("\"S\xed\"\n"));
    }

    void describeAnswer_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QStringList>("lines");

        QTest::newRow("nine fields")
            << QStringLiteral("MI-Notificar;8/12/26 21:07:30;Luis;10.0.0.2;40001;Ana García;127.0.0.1;40000;Sí")
                   .toUtf8()
            << QStringList{"answer from 127.0.0.1 port 5000, 81 bytes, 9 fields",
                           "  0 kind       \"MI-Notificar\"",
                           "  1 sent at    \"8/12/26 21:07:30\"",
                           "  2 from       \"Luis\"",
                           "  3 from host  \"10.0.0.2\"",
                           "  4 from port  \"40001\"",
                           "  5 to         \"Ana García\"",
                           "  6 to host    \"127.0.0.1\"",
                           "  7 to port    \"40000\"",
                           "  8 message    \"Sí\""};
        QTest::newRow("extra fields, control characters and quotes")
            << QByteArray("a;\tb\x01;\"c\\")
            << QStringList{"answer from 127.0.0.1 port 5000, 9 bytes, 3 fields", "  0 kind       \"a\"",
                           "  1 sent at    \"\\tb\\x01\"", "  2 from       \"\\\"c\\\\\""};
        QTest::newRow("C1 controls and format characters")
            << QStringLiteral("\u009b2J;\u202eabc\u200b;\U000E0041").toUtf8()
            << QStringList{"answer from 127.0.0.1 port 5000, 19 bytes, 3 fields", "  0 kind       \"\\u009b2J\"",
                           "  1 sent at    \"\\u202eabc\\u200b\"", "  2 from       \"\\U000e0041\""};
        QTest::newRow("empty") << QByteArray()
                               << QStringList{"answer from 127.0.0.1 port 5000, 0 bytes, 1 field",
                                              "  0 kind       \"\""};
        QTest::newRow("invalid UTF-8 is shown, not dropped")
            << QByteArray("k;\xff")
            << QStringList{"answer from 127.0.0.1 port 5000, 3 bytes, 2 fields", "  0 kind       \"k\"",
                           QStringLiteral("  1 sent at    \"\ufffd\"")};
    }

    void describeAnswer()
    {
        QFETCH(QByteArray, payload);
        QFETCH(QStringList, lines);
        QCOMPARE(::describeAnswer(payload, "127.0.0.1", 5000), lines.join(u'\n') + u'\n');
    }
};

QTEST_GUILESS_MAIN(TestPeer)
#include "tst_peer.moc"
