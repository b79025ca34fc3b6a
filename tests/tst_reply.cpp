// The answer as a user gives it: a notification shown from a real file,
// real key events in the real answer box, the answer received on a real
// UDP socket as the messaging system receives it, and the real message
// boxes, closed as a user would.
#include "qtplatform.h"

#include "datagramreceiver.h"
#include "platform/qt/guiapplication.h"
#include "core/texts.h"

#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <thread>

using qtplatform::toQString;

namespace {

const QString Hint = toQString(texts::HintText);

QString incomingRecord(const QString &host, const QString &port)
{
    return QStringLiteral("MI-Mensaje;08/12/2026 21:00:00;Ana García;%1;%2;Luis;10.0.0.2;40001;Hola, ¿qué tal?")
        .arg(host, port);
}

// The answer the notifier must send for incomingRecord, an answer and the
// time of sending.
QByteArray expectedAnswer(const QString &sentAt, const QString &host, const QString &port, const QString &answer)
{
    return QStringLiteral("MI-Notificar;%1;Luis;10.0.0.2;40001;Ana García;%2;%3;%4")
        .arg(sentAt, host, port, answer)
        .toUtf8();
}

QString withoutSurroundingSpaces(QString text)
{
    while (text.startsWith(u' '))
        text.remove(0, 1);
    while (text.endsWith(u' '))
        text.chop(1);
    return text;
}

} // namespace

class TestReply final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<TestPlatform> m_platform;
    std::unique_ptr<Inicio> m_inicio;
    std::unique_ptr<DatagramReceiver> m_receiver;
    std::unique_ptr<MessageBoxUser> m_user;
    QPointer<QLineEdit> m_text1;

    QString receiverPort() const { return QString::number(m_receiver->port()); }

    void listenOn(const QString &address)
    {
        m_receiver = std::make_unique<DatagramReceiver>(address, 0);
        QVERIFY2(m_receiver->isOpen(), qPrintable(m_receiver->errorString()));
    }

    // The notification in its file beside the executable, shown by the
    // intake, and the window activated as by the user's click.
    void showNotification(const QString &host, const QString &port)
    {
        QVERIFY(writeFile(m_dir->filePath("MI.zorvi"), incomingRecord(host, port).toUtf8()));
        m_inicio->Main();
        qtplatform::QtWindow *window = shownWindow(*m_inicio);
        QVERIFY(window);
        window->activateWindow();
        m_text1 = window->findChild<QLineEdit *>("Text1");
        QVERIFY(m_text1);
    }

    QString now() const
    {
        const platform::Clock &clock = m_platform->systemClock;
        return toQString(clock.formatGeneralDate(clock.currentDateTime()));
    }

    void type(const QString &text)
    {
        for (QChar c : text)
            QTest::sendKeyEvent(QTest::Click, m_text1, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }

    void paste(const QString &text)
    {
        QGuiApplication::clipboard()->setText(text);
        QTest::sendKeyEvent(QTest::Click, m_text1, Qt::Key_V, QStringLiteral("\x16"), Qt::ControlModifier);
    }

    // Enter sends the answer, dated at the press, and the window ends once
    // the datagram is with the system.
    void enterSends(const QString &host, const QString &answer)
    {
        const QString before = now();
        QTest::keyClick(m_text1, Qt::Key_Return);
        const QString after = now();
        const auto datagram = m_receiver->receive(2000);
        QVERIFY(datagram);
        QVERIFY2(datagram->payload == expectedAnswer(before, host, receiverPort(), answer)
                     || datagram->payload == expectedAnswer(after, host, receiverPort(), answer),
                 datagram->payload.constData());
        QTRY_VERIFY(!m_inicio->Principal.isLoaded());
        QVERIFY(!m_receiver->receive(50));
        QVERIFY(m_user->shown.isEmpty());
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_platform = std::make_unique<TestPlatform>(m_dir->path());
        m_inicio = std::make_unique<Inicio>(*m_platform);
        m_user = std::make_unique<MessageBoxUser>();
    }

    void cleanup()
    {
        m_inicio.reset();
        m_platform.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_user.reset();
        m_receiver.reset();
        m_dir.reset();
    }

    // What the box shows is what is sent: trimmed of spaces, at most 100
    // characters, in one line.
    void answerIsSent_data()
    {
        QTest::addColumn<QString>("listen");
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("sent");

        QTest::newRow("spaces around") << "127.0.0.1" << "127.0.0.1" << "  vale,  ahora voy  " << ""
                                       << "vale,  ahora voy";
        QTest::newRow("non-ASCII") << "127.0.0.1" << "127.0.0.1" << QStringLiteral("¿Qué tal? ñandú") << ""
                                   << QStringLiteral("¿Qué tal? ñandú");
        // Tab moves the focus: tabs reach the box by pasting.
        QTest::newRow("tabs, pasted") << "127.0.0.1" << "127.0.0.1" << "" << "\t\t" << "\t\t";
        // The record is one line: a line break would end it for the receiver.
        QTest::newRow("a paste with line breaks") << "127.0.0.1" << "127.0.0.1" << "ok: " << "uno\ndos\r\ntres\rcuatro"
                                                  << "ok: uno dos tres cuatro";
        QString digits;
        for (int i = 0; i < 150; ++i)
            digits += QChar(u'0' + i % 10);
        QTest::newRow("a paste of 150 characters") << "127.0.0.1" << "127.0.0.1" << "" << digits << digits.left(100);
        QTest::newRow("a paste onto 90 typed characters")
            << "127.0.0.1" << "127.0.0.1" << QString(90, u'a') << digits << QString(90, u'a') + digits.left(10);
        QTest::newRow("typing past 100 characters")
            << "127.0.0.1" << "127.0.0.1" << QString(120, u'b') << "" << QString(100, u'b');
    }

    void answerIsSent()
    {
        QFETCH(QString, listen);
        QFETCH(QString, host);
        QFETCH(QString, typed);
        QFETCH(QString, pasted);
        QFETCH(QString, sent);
        listenOn(listen);
        showNotification(host, receiverPort());
        type(typed);
        if (!pasted.isEmpty())
            paste(pasted);
        QCOMPARE(withoutSurroundingSpaces(m_text1->text()), sent);
        enterSends(host, sent);
    }

    // The first key on the hint: a character replaces it; a key without
    // one is the box's own.
    void firstKeyOnTheHint_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("boxText");

        QTest::newRow("a letter replaces the hint") << int(Qt::Key_X) << "x" << "x";
        QTest::newRow("backspace empties the box") << int(Qt::Key_Backspace) << "\b" << "";
        QTest::newRow("an arrow leaves the hint") << int(Qt::Key_Right) << "" << Hint;
    }

    void firstKeyOnTheHint()
    {
        QFETCH(int, key);
        QFETCH(QString, text);
        QFETCH(QString, boxText);
        listenOn("127.0.0.1");
        showNotification("127.0.0.1", receiverPort());
        QTest::sendKeyEvent(QTest::Click, m_text1, Qt::Key(key), text, Qt::NoModifier);
        QCOMPARE(m_text1->text(), boxText);
        QVERIFY(m_user->shown.isEmpty());
    }

    // UDP carries no acknowledgement: nothing listening is no failure.
    void answerToAPortWhereNothingListens()
    {
        listenOn("127.0.0.1");
        const QString port = receiverPort();
        m_receiver.reset();
        showNotification("127.0.0.1", port);
        type("hola");
        QTest::keyClick(m_text1, Qt::Key_Return);
        QTRY_VERIFY(!m_inicio->Principal.isLoaded());
        QVERIFY(m_user->shown.isEmpty());
    }

    void escapeNeverReachesTheAnswerBox()
    {
        listenOn("127.0.0.1");
        showNotification("127.0.0.1", receiverPort());
        type("hola");
        QTest::keyClick(m_text1, Qt::Key_Escape);
        QVERIFY(!m_inicio->Principal.isLoaded());
        QVERIFY(!m_text1->isVisible());
        QVERIFY(m_user->shown.isEmpty());
        QVERIFY(!m_receiver->receive(50));
    }

    // Enter keys that reach the box while the answer is on its way, or
    // after it has gone, whether already delivered or still queued when the
    // window is deleted, send nothing more.
    void aBurstOfEnterSendsOneDatagram()
    {
        listenOn("127.0.0.1");
        showNotification("127.0.0.1", receiverPort());
        type("hola");
        const QPointer<QLineEdit> box = m_text1;
        for (int i = 0; i < 5; ++i) {
            QCoreApplication::postEvent(box, new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r"));
            QCoreApplication::postEvent(box, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, "\r"));
        }
        QCoreApplication::sendPostedEvents(box);
        QVERIFY(m_receiver->receive(2000));
        // The outcome, and nothing else, so that the window is unloaded but
        // its box not yet deleted.
        while (m_inicio->Principal.isLoaded()) {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
            std::this_thread::yield();
        }
        QVERIFY(box);
        QTest::keyClick(box, Qt::Key_Return);
        QCoreApplication::postEvent(box, new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!box);
        QCoreApplication::processEvents();

        QVERIFY(m_user->shown.isEmpty());
        QVERIFY(!m_receiver->receive(100));
    }

    // The two boxes as they open over the window, in plain text; once
    // closed, the window is there as before with what the box holds.
    void theBoxesAsTheUserSeesThem_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("icon");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("boxText");

        QTest::newRow("an empty answer") << "127.0.0.1" << "" << int(QMessageBox::Information) << "Notificador"
                                         << toQString(texts::EmptyAnswerPrompt) << Hint;
        QTest::newRow("a host that does not resolve")
            << "no-such-host.invalid" << " hola " << int(QMessageBox::NoIcon) << "Ha ocurrido un error"
            << QStringLiteral("Número: 11001\r\nDescripción: No se encuentra el host «no-such-host.invalid»\r\n\r\n"
                              "Fuente: MensajeEnviar\r\nVentana: Principal           Proceso : Text1_KeyPress\r\n"
                              "Detalle : ")
            << " hola ";
    }

    void theBoxesAsTheUserSeesThem()
    {
        QFETCH(QString, host);
        QFETCH(QString, typed);
        QFETCH(int, icon);
        QFETCH(QString, title);
        QFETCH(QString, text);
        QFETCH(QString, boxText);
        listenOn("127.0.0.1");
        showNotification(host, receiverPort());
        type(typed);
        QTest::keyClick(m_text1, Qt::Key_Return);

        QTRY_COMPARE(m_user->shown.size(), 1);
        QCOMPARE(int(m_user->shown[0].icon), icon);
        QCOMPARE(m_user->shown[0].title, title);
        QCOMPARE(m_user->shown[0].text, text);
        QCOMPARE(m_user->shown[0].format, Qt::PlainText);
        QVERIFY(m_inicio->Principal.isLoaded());
        QCOMPARE(m_text1->text(), boxText);
        QVERIFY(!m_receiver->receive(50));
    }
};

int main(int argc, char **argv)
{
    qtplatform::setCommandLine(argc, argv);
    qtplatform::ensureGuiApplication();
    TestReply test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_reply.moc"
