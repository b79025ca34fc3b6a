#include "datagramreceiver.h"
#include "platform/datagramsocket.h"
#include "platform/error.h"

#include <QTest>

// The socket on its own, against real sockets on the loopback interface.
class TestDatagramSocket final : public QObject
{
    Q_OBJECT

private slots:
    void sendsOneDatagramWithTheTextsBytes_data()
    {
        QTest::addColumn<QString>("listenOn");
        QTest::addColumn<QString>("host");

        QTest::newRow("IPv4 literal") << "127.0.0.1" << "127.0.0.1";
        QTest::newRow("IPv6 literal") << "::1" << "::1";
        QTest::newRow("host name") << "127.0.0.1" << "localhost";
    }

    void sendsOneDatagramWithTheTextsBytes()
    {
        QFETCH(QString, listenOn);
        QFETCH(QString, host);
        DatagramReceiver receiver(listenOn, 0);
        QVERIFY2(receiver.isOpen(), qPrintable(receiver.errorString()));
        platform::DatagramSocket socket;
        socket.setRemoteHost(host);
        socket.setRemotePort(receiver.port());
        const QString text = QStringLiteral("MI-Notificar;¿Qué tal? ñandú \u20ac");
        socket.SendData(text);
        const auto datagram = receiver.receive(2000);
        QVERIFY(datagram);
        QCOMPARE(datagram->payload, text.toUtf8());
        QVERIFY(!receiver.receive(50));
    }

    // An unpaired surrogate can only come from typing, never from the file;
    // it goes out as a replacement character, and nothing after it is lost.
    void aBrokenCharacterAtTheEndIsReplacedNotDropped()
    {
        DatagramReceiver receiver(QStringLiteral("127.0.0.1"), 0);
        platform::DatagramSocket socket;
        socket.setRemoteHost(QStringLiteral("127.0.0.1"));
        socket.setRemotePort(receiver.port());
        socket.SendData(QStringLiteral("ok") + QChar(0xd800));
        const auto datagram = receiver.receive(2000);
        QVERIFY(datagram);
        QCOMPARE(datagram->payload, QByteArray("ok\xef\xbf\xbd"));
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        QTest::addColumn<int>("payloadSize");
        QTest::addColumn<int>("number");

        QTest::newRow("port never set") << "127.0.0.1" << 0 << 1 << 380;
        QTest::newRow("empty host") << "" << 9 << 1 << 10049;
        QTest::newRow("NUL in the host name") << QString::fromUtf16(u"localhost\0.x", 12) << 9 << 1 << 11001;
        QTest::newRow("too big for a datagram") << "127.0.0.1" << 9 << 70000 << 10040;
    }

    void refusals()
    {
        QFETCH(QString, host);
        QFETCH(int, port);
        QFETCH(int, payloadSize);
        QFETCH(int, number);
        platform::DatagramSocket socket;
        socket.setRemoteHost(host);
        if (port)
            socket.setRemotePort(port);
        try {
            socket.SendData(QString(payloadSize, u'x'));
            QFAIL("sent");
        } catch (const platform::Error &error) {
            QCOMPARE(error.number(), number);
            QCOMPARE(error.source(), QStringLiteral("MensajeEnviar"));
            QVERIFY(!error.description().isEmpty());
        }
    }

    void aRefusedPortKeepsThePreviousOne()
    {
        platform::DatagramSocket socket;
        socket.setRemotePort(4000);
        QVERIFY_THROWS_EXCEPTION(platform::Error, socket.setRemotePort(65536));
        QCOMPARE(socket.RemotePort(), 4000);
    }
};

QTEST_APPLESS_MAIN(TestDatagramSocket)
#include "tst_datagramsocket.moc"
