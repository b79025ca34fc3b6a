// MensajeEnviar over the system's sockets, against real sockets on the
// loopback interface: the bytes on the wire, and what the system refuses.
#include "datagramreceiver.h"
#include "platform/error.h"
#include "platform/qt/qstringconversion.h"
#include "platform/qt/systemnetwork.h"
#include "reply/datagramsocket.h"

#include <QTest>

using qtplatform::toQString;
using qtplatform::toU16String;

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
        socket.SendData(toU16String(text));
        const auto datagram = receiver.receive(2000);
        QVERIFY(datagram);
        QCOMPARE(datagram->payload, bytes);
        QVERIFY(!receiver.receive(50));
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
        try {
            socket.SendData(std::u16string(std::size_t(payloadSize), u'x'));
            QFAIL("sent");
        } catch (const platform::Error &error) {
            QCOMPARE(error.number(), number);
            QCOMPARE(toQString(error.description()), description);
            QCOMPARE(toQString(error.source()), QStringLiteral("MensajeEnviar"));
        }
    }
};

QTEST_APPLESS_MAIN(TestDatagramSocket)
#include "tst_datagramsocket.moc"
