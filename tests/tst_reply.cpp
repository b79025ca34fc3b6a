#include "datagramreceiver.h"
#include "fakes.h"
#include "intake/inicio.h"
#include "platform/clock.h"
#include "reply/errorreport.h"
#include "ui/principal.h"
#include "ui/texts.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTest>

#include <cerrno>

using ui::Principal;

namespace {

const QString Hint = texts::HintText.toString();
const QString EmptyAnswerPrompt = texts::EmptyAnswerPrompt.toString();

// The error box's text for a failure, line by line.
QString errorPrompt(int number, const QString &description, const QString &source)
{
    return QStringLiteral("Número: %1\r\nDescripción: %2\r\n\r\nFuente: %3\r\n"
                          "Ventana: Principal           Proceso : Text1_KeyPress\r\nDetalle : ")
        .arg(number)
        .arg(description, source);
}

QString incomingRecord(const QString &host, const QString &port)
{
    return QStringLiteral("MI-Mensaje;08/12/2026 21:00:00;Ana García;%1;%2;Luis;10.0.0.2;40001;Hola, ¿qué tal?")
        .arg(host, port);
}

// The answer the notifier must send for incomingRecord and an answer text.
QByteArray expectedAnswer(const QDateTime &sentAt, const QString &host, const QString &port, const QString &answer)
{
    return QStringLiteral("MI-Notificar;%1;Luis;10.0.0.2;40001;Ana García;%2;%3;%4")
        .arg(platform::formatGeneralDate(sentAt), host, port, answer)
        .toUtf8();
}

} // namespace

class TestReply final : public QObject
{
    Q_OBJECT

private:
    FixedClock m_clock;
    RecordingMessageBoxes m_boxes;
    FaultyNetwork m_network;
    std::unique_ptr<ScopedServices> m_services;
    std::unique_ptr<DatagramReceiver> m_receiver;
    QPointer<Principal> m_window;

    QLineEdit *text1() { return m_window->Text1(); }

    // A window showing a notification whose sender listens on a real socket.
    void showNotification(const QString &record)
    {
        Inicio::Fields = intake::splitRecord(record);
        Principal &window = Principal::instance();
        window.Text1();
        window.show();
        window.activateWindow();
        m_window = &window;
    }

    void showNotificationToReceiver(const QString &address = QStringLiteral("127.0.0.1"))
    {
        m_receiver = std::make_unique<DatagramReceiver>(address, 0);
        QVERIFY2(m_receiver->isOpen(), qPrintable(m_receiver->errorString()));
        showNotification(incomingRecord(address, QString::number(m_receiver->port())));
    }

    QString receiverPort() const { return QString::number(m_receiver->port()); }

    // The window is still there, holds the text and has sent nothing.
    void verifyNothingSent(const QString &text)
    {
        QVERIFY(Principal::exists());
        QVERIFY(m_window && m_window->isLoaded());
        QCOMPARE(text1()->text(), text);
        QCOMPARE(m_network.sent, 0);
        if (m_receiver)
            QVERIFY(!m_receiver->receive(50));
    }

private slots:
    void init()
    {
        m_services = std::make_unique<ScopedServices>(platform::Services{
            &platform::fileSystem(), &m_clock, &platform::windowSystem(), &m_boxes, &m_network});
        m_boxes.shown.clear();
        m_boxes.whileShown = nullptr;
        m_network = FaultyNetwork();
        m_clock.now = QDateTime(QDate(2026, 12, 8), QTime(21, 7, 30));
    }

    void cleanup()
    {
        disposeOfWindow();
        QVERIFY(!Principal::exists());
        m_receiver.reset();
        m_services.reset();
        Inicio::Fields = {};
    }

    void firstKeyOnTheHint_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("text");

        QTest::newRow("a letter replaces the hint") << "x" << 0 << "x";
        QTest::newRow("then the box edits as usual") << "hola" << 0 << "hola";
        QTest::newRow("backspace empties the box") << "" << int(Qt::Key_Backspace) << "";
        QTest::newRow("a space replaces the hint") << " " << 0 << " ";
        QTest::newRow("an arrow leaves the hint") << "" << int(Qt::Key_Left) << Hint;
        QTest::newRow("delete edits the hint, it does not clear it") << "" << int(Qt::Key_Delete) << Hint.mid(1);
        QTest::newRow("home leaves the hint") << "" << int(Qt::Key_Home) << Hint;
    }

    void firstKeyOnTheHint()
    {
        QFETCH(QString, typed);
        QFETCH(int, key);
        QFETCH(QString, text);
        showNotificationToReceiver();
        if (key)
            QTest::keyClick(text1(), Qt::Key(key));
        QTest::keyClicks(text1(), typed);
        QCOMPARE(text1()->text(), text);
        QVERIFY(m_boxes.shown.isEmpty());
    }

    void keysNeverClearAnAnswer()
    {
        showNotificationToReceiver();
        QTest::keyClicks(text1(), "hola");
        text1()->setCursorPosition(2);
        QTest::keyClick(text1(), Qt::Key_X);
        QCOMPARE(text1()->text(), QStringLiteral("hoxla"));
    }

    void textEqualToTheHintCountsAsTheHint()
    {
        showNotificationToReceiver();
        QTest::keyClicks(text1(), "a");
        text1()->setText(Hint);
        QTest::keyClick(text1(), Qt::Key_B);
        QCOMPARE(text1()->text(), QStringLiteral("b"));
    }

    void emptyAnswerIsRefused_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("backspaceFirst");

        QTest::newRow("hint untouched") << "" << false;
        QTest::newRow("box emptied") << "" << true;
        QTest::newRow("spaces only") << "    " << false;
    }

    void emptyAnswerIsRefused()
    {
        QFETCH(QString, typed);
        QFETCH(bool, backspaceFirst);
        showNotificationToReceiver();
        if (backspaceFirst)
            QTest::keyClick(text1(), Qt::Key_Backspace);
        QTest::keyClicks(text1(), typed);
        QString textWhileShown;
        m_boxes.whileShown = [&] { textWhileShown = text1()->text(); };
        QTest::keyClick(text1(), Qt::Key_Return);

        QCOMPARE(m_boxes.shown.size(), 1);
        QCOMPARE(m_boxes.shown[0].kind, QStringLiteral("information"));
        QCOMPARE(m_boxes.shown[0].prompt, EmptyAnswerPrompt);
        QCOMPARE(m_boxes.shown[0].title, QStringLiteral("Notificador"));
        // The hint comes back only once the box is closed.
        QCOMPARE(textWhileShown, backspaceFirst || !typed.isEmpty() ? typed : Hint);
        QCOMPARE(m_network.attempts, 0);
        verifyNothingSent(Hint);
    }

    void answerIsSent_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("sent");

        for (const QString &address : {QStringLiteral("127.0.0.1"), QStringLiteral("::1")}) {
            const QByteArray family = address.contains(u':') ? "IPv6" : "IPv4";
            QTest::addRow("%s, spaces around", family.constData()) << address << "  vale,  ahora voy  "
                                                                   << "vale,  ahora voy";
            QTest::addRow("%s, non-ASCII", family.constData()) << address << QStringLiteral("¿Qué tal? ñandú")
                                                               << QStringLiteral("¿Qué tal? ñandú");
            // Tab moves the focus: tabs reach the box by pasting.
            QTest::addRow("%s, tabs only", family.constData()) << address << "\x16\t\t" << "\t\t";
        }
        QTest::newRow("hint in other case") << "127.0.0.1" << "escriba la respuesta aquí..."
                                            << "escriba la respuesta aquí...";
        QTest::newRow("hint with a space before it") << "127.0.0.1" << " " + Hint << Hint;
        QTest::newRow("a separator in the answer") << "127.0.0.1" << "uno;dos" << "uno;dos";
    }

    void answerIsSent()
    {
        QFETCH(QString, address);
        QFETCH(QString, typed);
        QFETCH(QString, sent);
        showNotificationToReceiver(address);
        if (typed.startsWith(u'\x16')) {
            QGuiApplication::clipboard()->setText(typed.mid(1));
            QTest::sendKeyEvent(QTest::Click, text1(), Qt::Key_V, QStringLiteral("\x16"), Qt::ControlModifier);
        } else {
            for (QChar c : typed)
                QTest::sendKeyEvent(QTest::Click, text1(), Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
        QTest::keyClick(text1(), Qt::Key_Return);

        QVERIFY(m_boxes.shown.isEmpty());
        const auto datagram = m_receiver->receive(2000);
        QVERIFY(datagram);
        QCOMPARE(datagram->payload, expectedAnswer(m_clock.now, address, receiverPort(), sent));
        QVERIFY(!m_receiver->receive(50));
        QVERIFY(!Principal::exists());
        QVERIFY(!m_window->isVisible());
    }

    void answerToAHostName()
    {
        m_receiver = std::make_unique<DatagramReceiver>(QStringLiteral("127.0.0.1"), 0);
        showNotification(incomingRecord(QStringLiteral("localhost"), receiverPort()));
        QTest::keyClicks(text1(), "ok");
        QTest::keyClick(text1(), Qt::Key_Return);
        const auto datagram = m_receiver->receive(2000);
        QVERIFY(datagram);
        QCOMPARE(datagram->payload, expectedAnswer(m_clock.now, "localhost", receiverPort(), "ok"));
    }

    void failureIsReportedAndCanBeRetried_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("port");
        QTest::addColumn<int>("sendErrno");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("source");

        const QString runTime = "notificador";
        const QString socket = "MensajeEnviar";
        QTest::newRow("letters for a port") << "127.0.0.1" << "abc" << 0 << 13 << "No coinciden los tipos" << runTime;
        QTest::newRow("empty port") << "127.0.0.1" << "" << 0 << 13 << "No coinciden los tipos" << runTime;
        QTest::newRow("port past 32 bits") << "127.0.0.1" << "99999999999" << 0 << 6 << "Desbordamiento" << runTime;
        QTest::newRow("port 0") << "127.0.0.1" << "0" << 0 << 380
                                << "El puerto remoto 0 no es válido: debe estar entre 1 y 65535" << socket;
        QTest::newRow("port 70000") << "127.0.0.1" << "70000" << 0 << 380
                                    << "El puerto remoto 70000 no es válido: debe estar entre 1 y 65535" << socket;
        QTest::newRow("negative port") << "127.0.0.1" << "-5" << 0 << 380
                                       << "El puerto remoto -5 no es válido: debe estar entre 1 y 65535" << socket;
        QTest::newRow("no host") << "" << "@port" << 0 << 10049 << "No se ha indicado el host remoto" << socket;
        QTest::newRow("host that does not resolve") << "no-such-host.invalid" << "@port" << 0 << 11001
                                                    << "No se encuentra el host «no-such-host.invalid»" << socket;
        QTest::newRow("host with spaces is not trimmed") << " 127.0.0.1" << "@port" << 0 << 11001
                                                         << "No se encuentra el host « 127.0.0.1»" << socket;
        QTest::newRow("send refused") << "127.0.0.1" << "@port" << ENETUNREACH << 10051
                                      << "No se puede llegar a la red del host remoto" << socket;
    }

    // The error box, then the window and the answer as they were; once the
    // cause is gone, Enter sends, with the date and time of the new attempt.
    void failureIsReportedAndCanBeRetried()
    {
        QFETCH(QString, host);
        QFETCH(QString, port);
        QFETCH(int, sendErrno);
        QFETCH(int, number);
        QFETCH(QString, description);
        QFETCH(QString, source);
        m_receiver = std::make_unique<DatagramReceiver>(QStringLiteral("127.0.0.1"), 0);
        if (port == "@port")
            port = receiverPort();
        showNotification(incomingRecord(host, port));
        m_network.failWithErrno = sendErrno;
        QTest::keyClicks(text1(), " hola ");
        QTest::keyClick(text1(), Qt::Key_Return);

        QCOMPARE(m_boxes.shown.size(), 1);
        QCOMPARE(m_boxes.shown[0].kind, QStringLiteral("error"));
        QCOMPARE(m_boxes.shown[0].title, QStringLiteral("Ha ocurrido un error"));
        QCOMPARE(m_boxes.shown[0].prompt, errorPrompt(number, description, source));
        verifyNothingSent(" hola ");

        Inicio::Fields = intake::splitRecord(incomingRecord("127.0.0.1", receiverPort()));
        m_network.failWithErrno = 0;
        m_clock.now = m_clock.now.addSecs(61);
        QTest::keyClick(text1(), Qt::Key_Return);
        const auto datagram = m_receiver->receive(2000);
        QVERIFY(datagram);
        QCOMPARE(datagram->payload, expectedAnswer(m_clock.now, "127.0.0.1", receiverPort(), "hola"));
        QVERIFY(!Principal::exists());
    }

    void missingFieldIsError9BeforeTheSocket()
    {
        showNotification(QStringLiteral("MI-Mensaje;d;Ana;127.0.0.1;40000;Luis"));
        QTest::keyClicks(text1(), "hola");
        QTest::keyClick(text1(), Qt::Key_Return);
        QCOMPARE(m_boxes.shown.size(), 1);
        QCOMPARE(m_boxes.shown[0].prompt,
                 errorPrompt(9, "El subíndice está fuera del intervalo", "notificador"));
        QVERIFY(m_window->MensajeEnviar().RemoteHost().isEmpty());
        QCOMPARE(m_network.attempts, 0);
        verifyNothingSent("hola");
    }

    void errorPromptLines_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("prompt");

        QTest::newRow("positive") << 13
                                  << "Número: 13\r\nDescripción: d\r\n\r\nFuente: s\r\n"
                                     "Ventana: Principal           Proceso : Text1_KeyPress\r\nDetalle : ";
        QTest::newRow("negative") << -2147483647 - 1
                                  << "Número: -2147483648\r\nDescripción: d\r\n\r\nFuente: s\r\n"
                                     "Ventana: Principal           Proceso : Text1_KeyPress\r\nDetalle : ";
    }

    void errorPromptLines()
    {
        QFETCH(int, number);
        QFETCH(QString, prompt);
        QCOMPARE(reply::errorReportPrompt(platform::Error(number, "d", "s")), prompt);
    }

    // UDP carries no acknowledgement: nothing listening is no failure.
    void answerToAPortWhereNothingListens()
    {
        quint16 port = 0;
        {
            DatagramReceiver closed(QStringLiteral("127.0.0.1"), 0);
            QVERIFY(closed.isOpen());
            port = closed.port();
        }
        showNotification(incomingRecord(QStringLiteral("127.0.0.1"), QString::number(port)));
        QTest::keyClicks(text1(), "hola");
        QTest::keyClick(text1(), Qt::Key_Return);
        QVERIFY(m_boxes.shown.isEmpty());
        QCOMPARE(m_network.sent, 1);
        QVERIFY(!Principal::exists());
    }

    // Keys that reach the box after the answer has gone, whether already
    // delivered or still queued when the window is deleted, send nothing
    // more.
    void aBurstOfEnterSendsOneDatagram()
    {
        showNotificationToReceiver();
        QTest::keyClicks(text1(), "hola");
        QPointer<QLineEdit> box = text1();
        for (int i = 0; i < 5; ++i) {
            QCoreApplication::postEvent(box, new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r"));
            QCoreApplication::postEvent(box, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, "\r"));
        }
        QCoreApplication::sendPostedEvents(box);
        QVERIFY(!Principal::exists());
        QVERIFY(box);
        QTest::keyClick(box, Qt::Key_Return);
        QCoreApplication::postEvent(box, new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!box);
        QCoreApplication::processEvents();

        QVERIFY(m_boxes.shown.isEmpty());
        QCOMPARE(m_network.attempts, 1);
        const auto datagram = m_receiver->receive(2000);
        QVERIFY(datagram);
        QCOMPARE(datagram->payload, expectedAnswer(m_clock.now, "127.0.0.1", receiverPort(), "hola"));
        QVERIFY(!m_receiver->receive(100));
    }

    // Each Enter while the fault lasts is one attempt and one error box; the
    // answer is never touched.
    void enterRepeatedWhileSendingFails_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("port");
        QTest::addColumn<int>("sendErrno");
        QTest::addColumn<int>("number");

        QTest::newRow("system refuses") << "127.0.0.1" << "@port" << ENETUNREACH << 10051;
        QTest::newRow("port of letters") << "127.0.0.1" << "abc" << 0 << 13;
        QTest::newRow("host that does not resolve") << "no-such-host.invalid" << "@port" << 0 << 11001;
        // A real refusal: with a 70000-character addressee the answer does
        // not fit one datagram.
        QTest::newRow("answer too big for a datagram") << "@big" << "@port" << 0 << 10040;
    }

    void enterRepeatedWhileSendingFails()
    {
        QFETCH(QString, host);
        QFETCH(QString, port);
        QFETCH(int, sendErrno);
        QFETCH(int, number);
        m_receiver = std::make_unique<DatagramReceiver>(QStringLiteral("127.0.0.1"), 0);
        if (port == "@port")
            port = receiverPort();
        QString record = incomingRecord(host, port);
        if (host == "@big")
            record = incomingRecord("127.0.0.1", port).replace("Luis", QString(70000, u'L'));
        showNotification(record);
        m_network.failWithErrno = sendErrno;
        QTest::keyClicks(text1(), "  sigo aqui ");
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(text1(), Qt::Key_Return);

        QCOMPARE(m_boxes.shown.size(), 4);
        for (const auto &box : std::as_const(m_boxes.shown)) {
            QCOMPARE(box.kind, QStringLiteral("error"));
            QVERIFY(box.prompt.startsWith(QStringLiteral("Número: %1\r\n").arg(number)));
        }
        QCOMPARE(m_network.attempts, host.isEmpty() || port == "abc" ? 0 : 4);
        verifyNothingSent("  sigo aqui ");
    }

    // The box holds at most 100 characters; a longer paste or more typing is
    // cut there, as the box shows, and what the box shows is what is sent.
    void whatTheBoxShowsIsWhatIsSent_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("shown");

        QString digits;
        for (int i = 0; i < 150; ++i)
            digits += QChar(u'0' + i % 10);
        QTest::newRow("a paste of 150 characters") << "" << digits << digits.left(100);
        QTest::newRow("a paste onto 90 typed characters")
            << QString(90, u'a') << digits << QString(90, u'a') + digits.left(10);
        QTest::newRow("typing past 100 characters") << QString(120, u'b') << "" << QString(100, u'b');
        QTest::newRow("a paste with separators") << "" << "a;b;;c" << "a;b;;c";
        // The record is one line: a line break would end it for the receiver.
        QTest::newRow("a paste with line breaks") << "ok: " << "uno\ndos\r\ntres\rcuatro"
                                                  << "ok: uno dos tres cuatro";
    }

    void whatTheBoxShowsIsWhatIsSent()
    {
        QFETCH(QString, typed);
        QFETCH(QString, pasted);
        QFETCH(QString, shown);
        showNotificationToReceiver();
        QTest::keyClicks(text1(), typed);
        if (!pasted.isEmpty()) {
            QGuiApplication::clipboard()->setText(pasted);
            QTest::sendKeyEvent(QTest::Click, text1(), Qt::Key_V, QStringLiteral("\x16"), Qt::ControlModifier);
        }
        QCOMPARE(text1()->text(), shown);
        QTest::keyClick(text1(), Qt::Key_Return);

        const auto datagram = m_receiver->receive(2000);
        QVERIFY(datagram);
        QCOMPARE(datagram->payload, expectedAnswer(m_clock.now, "127.0.0.1", receiverPort(), shown));
    }

    void escapeNeverReachesTheAnswerBox()
    {
        showNotificationToReceiver();
        QTest::keyClicks(text1(), "hola");
        QTest::keyClick(text1(), Qt::Key_Escape);
        QVERIFY(!Principal::exists());
        QVERIFY(m_boxes.shown.isEmpty());
        QCOMPARE(m_network.attempts, 0);
        QVERIFY(!m_receiver->receive(50));
    }
};

QTEST_MAIN(TestReply)
#include "tst_reply.moc"
