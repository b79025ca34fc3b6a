// MensajeEnviar over the system's sockets, against real sockets on the
// loopback interface: the answer's text on the wire, in the locale's
// encoding.
#include "datagramreceiver.h"
#include "platform/native.h"
#include "platform/platform.h"
#include "platform/qt/localetextcodec.h"
#include "platform/qt/qstringconversion.h"
#include "reply/datagramsocket.h"

#include <QCoreApplication>
#include <QTest>

#include <optional>

using qtplatform::toU16String;

namespace {

// Sends text and waits, in the event loop, for the outcome to come back.
reply::SendOutcome sendAndWait(reply::DatagramSocket &socket, std::string_view bytes)
{
    std::optional<reply::SendOutcome> outcome;
    socket.SendData(bytes, [&](reply::SendOutcome sent) { outcome = std::move(sent); });
    while (!outcome)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return *outcome;
}

} // namespace

class TestDatagramSocket final : public QObject
{
    Q_OBJECT

private:
    int m_argc = 1;
    const std::unique_ptr<platform::Platform> m_platform = platform::makeNativePlatform(m_argc, nullptr);

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
        reply::DatagramSocket socket(*m_platform);
        socket.setRemoteHost(toU16String(host));
        socket.setRemotePort(receiver.port());
        QVERIFY(!sendAndWait(socket, qtplatform::LocaleTextCodec::ofThisProcess().encode(toU16String(text))));
        const auto datagram = receiver.receive(2000);
        QVERIFY(datagram);
        QCOMPARE(datagram->payload, bytes);
        QVERIFY(!receiver.receive(50));
    }
};

QTEST_GUILESS_MAIN(TestDatagramSocket)
#include "tst_datagramsocket.moc"
