// MensajeEnviar over the system's sockets, against real sockets on the
// loopback interface: the bytes on the wire, and what the system refuses.
#include "datagramreceiver.h"
#include "core/error.h"
#include "platform/qt/localetextcodec.h"
#include "platform/qt/qstringconversion.h"
#include "platform/qt/systemnetwork.h"
#include "reply/datagramsocket.h"

#include <QCoreApplication>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

#include <sched.h>
#include <sys/mount.h>

using qtplatform::toQString;
using qtplatform::toU16String;

namespace {

// Sends text and waits, in the event loop, for the outcome to come back.
platform::SendOutcome sendAndWait(reply::DatagramSocket &socket, std::string_view bytes)
{
    std::optional<platform::SendOutcome> outcome;
    socket.SendData(bytes, [&](platform::SendOutcome sent) { outcome = std::move(sent); });
    while (!outcome)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return *outcome;
}

} // namespace

class TestDatagramSocket final : public QObject
{
    Q_OBJECT

private:
    qtplatform::SystemNetwork m_network;

private slots:
    // One datagram, the text in the locale's encoding (UTF-8 here). An
    // unpaired surrogate can only come from typing, never from the file; it
    // goes out as a replacement character, and nothing after it is lost.
    void sendsOneDatagramWithTheTextsBytes_data()
    {
        QTest::addColumn<QString>("listenOn");
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");

        const QString text = QStringLiteral("MI-Notificar;¿Qué tal? ñandú \u20ac");
        QTest::newRow("IPv4 literal") << "127.0.0.1" << "127.0.0.1" << text << text.toUtf8();
        QTest::newRow("IPv6 literal") << "::1" << "::1" << text << text.toUtf8();
        QTest::newRow("host name") << "127.0.0.1" << "localhost" << text << text.toUtf8();
        QTest::newRow("a broken character at the end") << "127.0.0.1" << "127.0.0.1" << QStringLiteral("ok") + QChar(0xd800)
                                                        << QByteArray("ok\xef\xbf\xbd");
        QTest::newRow("a broken character inside") << "127.0.0.1" << "127.0.0.1"
                                                   << QStringLiteral("a") + QChar(0xdc00) + QStringLiteral("b")
                                                   << QByteArray("a\xef\xbf\xbd" "b");
    }

    void sendsOneDatagramWithTheTextsBytes()
    {
        QFETCH(QString, listenOn);
        QFETCH(QString, host);
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        DatagramReceiver receiver(listenOn, 0);
        QVERIFY2(receiver.isOpen(), qPrintable(receiver.errorString()));
        reply::DatagramSocket socket(m_network);
        socket.setRemoteHost(toU16String(host));
        socket.setRemotePort(receiver.port());
        QVERIFY(!sendAndWait(socket, qtplatform::LocaleTextCodec::ofThisProcess().encode(toU16String(text))));
        const auto datagram = receiver.receive(2000);
        QVERIFY(datagram);
        QCOMPARE(datagram->payload, bytes);
        QVERIFY(!receiver.receive(50));
    }

    // Which address of a name gets the answer, with the system's hosts file
    // replaced for this process alone (a private mount namespace): a
    // listener on the loopback address of each family, on one port, and
    // exactly one datagram, to the first address that takes it.
    void nameWithAddressesOfBothFamilies_data()
    {
        QTest::addColumn<QByteArray>("hosts");
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("receivedOn");

        QTest::newRow("localhost as Debian lists it, IPv6 first")
            << QByteArray("::1 localhost ip6-localhost\n127.0.0.1 localhost\n") << "localhost" << "127.0.0.1";
        QTest::newRow("IPv4 first") << QByteArray("127.0.0.1 both.test\n::1 both.test\n") << "both.test"
                                    << "127.0.0.1";
        QTest::newRow("an IPv6-only name") << QByteArray("::1 six.test\n") << "six.test" << "::1";
        QTest::newRow("an IPv4-only name") << QByteArray("127.0.0.1 four.test\n") << "four.test" << "127.0.0.1";
    }

    void nameWithAddressesOfBothFamilies()
    {
        QFETCH(QByteArray, hosts);
        QFETCH(QString, host);
        QFETCH(QString, receivedOn);
        QTemporaryDir dir;
        QFile file(dir.filePath("hosts"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(hosts) == hosts.size());
        file.close();
        static const bool privateMounts =
            ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
        if (!privateMounts)
            QSKIP("no private mount namespace (needs root): the hosts file cannot be replaced");
        QCOMPARE(::mount(QFile::encodeName(file.fileName()).constData(), "/etc/hosts", nullptr, MS_BIND, nullptr), 0);
        const auto restore = qScopeGuard([] { ::umount("/etc/hosts"); });

        DatagramReceiver ipv4("127.0.0.1", 0);
        QVERIFY2(ipv4.isOpen(), qPrintable(ipv4.errorString()));
        DatagramReceiver ipv6("::1", ipv4.port());
        QVERIFY2(ipv6.isOpen(), qPrintable(ipv6.errorString()));
        reply::DatagramSocket socket(m_network);
        socket.setRemoteHost(toU16String(host));
        socket.setRemotePort(ipv4.port());
        QVERIFY(!sendAndWait(socket, "MI-Notificar;uno"));

        DatagramReceiver &expected = receivedOn == "::1" ? ipv6 : ipv4;
        DatagramReceiver &other = receivedOn == "::1" ? ipv4 : ipv6;
        const auto datagram = expected.receive(2000);
        QVERIFY(datagram);
        QCOMPARE(datagram->payload, QByteArray("MI-Notificar;uno"));
        QVERIFY(!other.receive(50));
        QVERIFY(!expected.receive(50));
    }

    void systemRefusals_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("payloadSize");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("description");

        const QString withNul = QString::fromUtf16(u"localhost\0.x", 12);
        QTest::newRow("NUL in the host name") << withNul << 1 << 11001
                                              << QStringLiteral("No se encuentra el host «") + withNul + u'»';
        QTest::newRow("a host that does not resolve") << "no-such-host.invalid" << 1 << 11001
                                                      << "No se encuentra el host «no-such-host.invalid»";
        QTest::newRow("too big for a datagram") << "127.0.0.1" << 70000 << 10040
                                                << "La respuesta es demasiado larga para un datagrama";
    }

    void systemRefusals()
    {
        QFETCH(QString, host);
        QFETCH(int, payloadSize);
        QFETCH(int, number);
        QFETCH(QString, description);
        reply::DatagramSocket socket(m_network);
        socket.setRemoteHost(toU16String(host));
        socket.setRemotePort(9);
        const platform::SendOutcome error = sendAndWait(socket, std::string(std::size_t(payloadSize), 'x'));
        QVERIFY2(error, "sent");
        QCOMPARE(error->number(), number);
        QCOMPARE(toQString(error->description()), description);
        QCOMPARE(toQString(error->source()), QStringLiteral("MensajeEnviar"));
    }
};

QTEST_GUILESS_MAIN(TestDatagramSocket)
#include "tst_datagramsocket.moc"
