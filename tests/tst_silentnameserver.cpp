// The answer to a sender's host name while the name server keeps silent: a
// real name server of the test's own, named in a resolv.conf that replaces
// the system's for this process alone (a private mount namespace), which
// holds every query until the test lets it answer. The real window, real
// key events, the answer received on a real UDP socket.
#include "qtplatform.h"

#include "datagramreceiver.h"
#include "platform/qt/guiapplication.h"

#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr char NameServerAddress[] = "127.0.0.77";
constexpr char SlowHost[] = "respuesta.lenta.test";

// Makes the test's name server the only one this process asks, and waits
// for it far longer than the notifier does. Done before any thread starts:
// every thread started later shares the private mounts.
bool askOnlyTheTestsNameServer()
{
    if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return false;
    char path[] = "/tmp/resolv.conf.XXXXXX";
    const int file = ::mkstemp(path);
    if (file < 0)
        return false;
    const std::string conf = std::string("nameserver ") + NameServerAddress + "\noptions timeout:30 attempts:1\n";
    const bool written = ::write(file, conf.data(), conf.size()) == ssize_t(conf.size());
    ::close(file);
    const bool mounted = written && ::mount(path, "/etc/resolv.conf", nullptr, MS_BIND, nullptr) == 0;
    ::unlink(path);
    return mounted;
}

// The reply to a query: an A query gets 127.0.0.1, any other no address.
std::string replyTo(const std::string &query)
{
    std::size_t end = 12;
    while (end < query.size() && query[end] != 0)
        end += 1 + std::size_t(static_cast<unsigned char>(query[end]));
    end += 1 + 4;
    if (query.size() < end)
        return {};
    const bool addressQuery = query[end - 4] == 0 && query[end - 3] == 1;
    std::string reply = query.substr(0, end);
    reply[2] = char(0x81); // a response to a recursive query
    reply[3] = char(0x80); // recursion available, no error
    reply.replace(6, 6, std::string("\0\0\0\0\0\0", 6));
    if (addressQuery) {
        reply[7] = 1;
        // The name (a pointer to the question's), A, IN, 60 s, 4 bytes.
        reply += std::string("\xc0\x0c\x00\x01\x00\x01\x00\x00\x00\x3c\x00\x04\x7f\x00\x00\x01", 16);
    }
    return reply;
}

// A name server that takes every query and holds it, unanswered, until
// released; from then on it answers each.
class HeldNameServer
{
public:
    HeldNameServer()
    {
        m_socket = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(53);
        ::inet_pton(AF_INET, NameServerAddress, &address.sin_addr);
        const int on = 1;
        ::setsockopt(m_socket, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        if (::bind(m_socket, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
            ::close(m_socket);
            m_socket = -1;
            return;
        }
        m_thread = std::thread([this] { serve(); });
    }
    ~HeldNameServer()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        if (m_socket >= 0)
            ::close(m_socket);
    }

    bool isOpen() const { return m_socket >= 0; }
    int queries() const { return m_queries; }
    int replies() const { return m_replies; }
    void release() { m_released = true; }

private:
    struct Query
    {
        sockaddr_storage from;
        socklen_t fromLength;
        std::string bytes;
    };

    void serve()
    {
        std::vector<Query> held;
        while (!m_stop) {
            pollfd readable{m_socket, POLLIN, 0};
            if (::poll(&readable, 1, 20) == 1) {
                Query query{};
                query.fromLength = sizeof query.from;
                char bytes[512];
                const ssize_t size = ::recvfrom(m_socket, bytes, sizeof bytes, 0,
                                                reinterpret_cast<sockaddr *>(&query.from), &query.fromLength);
                if (size > 0) {
                    query.bytes.assign(bytes, std::size_t(size));
                    held.push_back(query);
                    ++m_queries;
                }
            }
            if (!m_released)
                continue;
            for (const Query &query : held) {
                const std::string reply = replyTo(query.bytes);
                ::sendto(m_socket, reply.data(), reply.size(), 0, reinterpret_cast<const sockaddr *>(&query.from),
                         query.fromLength);
                ++m_replies;
            }
            held.clear();
        }
    }

    int m_socket = -1;
    std::thread m_thread;
    std::atomic<bool> m_stop = false;
    std::atomic<bool> m_released = false;
    std::atomic<int> m_queries = 0;
    std::atomic<int> m_replies = 0;
};

} // namespace

class TestSilentNameServer final : public QObject
{
    Q_OBJECT

private slots:
    // Enter hands the answer over and the window goes on while the name
    // server keeps silent: a second Enter sends nothing more, Escape still
    // closes the window (and nothing leaves once the name is found), and a
    // lookup past the notifier's bound is a failure in the error box, the
    // answer kept.
    void theWindowGoesOnWhileTheNameServerIsSilent_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::addColumn<bool>("answers");

        QTest::newRow("the name server answers late") << false << true;
        QTest::newRow("Escape, then the name server answers") << true << true;
        QTest::newRow("the name server never answers") << false << false;
    }

    void theWindowGoesOnWhileTheNameServerIsSilent()
    {
        QFETCH(bool, escape);
        QFETCH(bool, answers);
        HeldNameServer nameServer;
        QVERIFY(nameServer.isOpen());
        DatagramReceiver receiver("127.0.0.1", 0);
        QVERIFY2(receiver.isOpen(), qPrintable(receiver.errorString()));
        QTemporaryDir dir;
        TestPlatform platform(dir.path());
        MessageBoxUser user;
        Inicio inicio(platform);
        const QString record = QStringLiteral("MI-Mensaje;d;Ana;%1;%2;Luis;10.0.0.2;40001;Hola")
                                   .arg(QLatin1String(SlowHost))
                                   .arg(receiver.port());
        QVERIFY(writeFile(dir.filePath("MI.zorvi"), record.toUtf8()));
        inicio.Main();
        qtplatform::QtWindow *window = shownWindow(inicio);
        QVERIFY(window);
        window->activateWindow();
        QLineEdit *text1 = window->findChild<QLineEdit *>("Text1");
        QVERIFY(text1);
        QTest::keyClicks(text1, " hola ");

        QTest::keyClick(text1, Qt::Key_Return);
        QTRY_VERIFY(nameServer.queries() > 0);
        QTest::keyClick(text1, Qt::Key_Return);
        QVERIFY(inicio.Principal.isLoaded());
        QVERIFY(user.shown.isEmpty());
        if (escape) {
            QTest::keyClick(text1, Qt::Key_Escape);
            QVERIFY(!inicio.Principal.isLoaded());
        }
        if (answers) {
            nameServer.release();
            QTRY_COMPARE(nameServer.replies(), nameServer.queries());
        }

        if (answers && !escape) {
            const auto datagram = receiver.receive(5000);
            QVERIFY(datagram);
            QVERIFY(datagram->payload.endsWith(";Ana;respuesta.lenta.test;" + QByteArray::number(receiver.port())
                                               + ";hola"));
            QTRY_VERIFY(!inicio.Principal.isLoaded());
            QVERIFY(!receiver.receive(200));
            QVERIFY(user.shown.isEmpty());
        } else if (escape) {
            QVERIFY(!receiver.receive(500));
            QCoreApplication::processEvents();
            QVERIFY(user.shown.isEmpty());
        } else {
            QTRY_COMPARE_WITH_TIMEOUT(user.shown.size(), 1, 20000);
            QCOMPARE(user.shown[0].text,
                     QStringLiteral("Número: 11002\r\nDescripción: No se ha podido resolver el host "
                                    "«respuesta.lenta.test» en este momento\r\n\r\nFuente: MensajeEnviar\r\n"
                                    "Ventana: Principal           Proceso : Text1_KeyPress\r\nDetalle : "));
            QVERIFY(inicio.Principal.isLoaded());
            QCOMPARE(text1->text(), QStringLiteral(" hola "));
            QVERIFY(!receiver.receive(50));
        }
    }
};

int main(int argc, char **argv)
{
    if (!askOnlyTheTestsNameServer()) {
        std::puts("SKIP: no private mount namespace (needs root): resolv.conf cannot be replaced");
        return 77;
    }
    qtplatform::setCommandLine(argc, argv);
    qtplatform::ensureGuiApplication();
    TestSilentNameServer test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_silentnameserver.moc"
