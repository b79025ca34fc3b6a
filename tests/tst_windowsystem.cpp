// The frame-extents request on a real X server (Xvfb), with this test in
// the window manager's place: it advertises the request on the root window
// and answers it, or stays silent, from a connection of its own.
#include "platform/twips.h"
#include "platform/windowsystem.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QWidget>

#include <xcb/xcb.h>

#include <array>
#include <atomic>
#include <optional>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    xcb_intern_atom_reply_t *reply =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t value = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return value;
}

// Plays the part of the window manager for frame extents only.
class FakeWindowManager
{
public:
    // Extents it gives every window (left, right, top, bottom); answers
    // nothing if not given.
    explicit FakeWindowManager(bool advertises, std::optional<std::array<uint32_t, 4>> extents)
        : m_connection(xcb_connect(nullptr, nullptr))
        , m_extents(extents)
    {
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        m_supported = atom(m_connection, "_NET_SUPPORTED");
        m_request = atom(m_connection, "_NET_REQUEST_FRAME_EXTENTS");
        m_frameExtents = atom(m_connection, "_NET_FRAME_EXTENTS");
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &mask);
        if (advertises)
            xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_root, m_supported, XCB_ATOM_ATOM, 32, 1, &m_request);
        else
            xcb_delete_property(m_connection, m_root, m_supported);
        xcb_aux_sync();
        m_thread = std::thread([this] { serve(); });
    }

    ~FakeWindowManager()
    {
        m_stop = true;
        m_thread.join();
        xcb_delete_property(m_connection, m_root, m_supported);
        xcb_disconnect(m_connection);
    }

    int requests() const { return m_requests; }

private:
    void xcb_aux_sync()
    {
        std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
    }

    void serve()
    {
        while (!m_stop) {
            xcb_generic_event_t *event = xcb_poll_for_event(m_connection);
            if (!event) {
                std::this_thread::sleep_for(std::chrono::microseconds(200));
                continue;
            }
            if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE) {
                const auto *message = reinterpret_cast<xcb_client_message_event_t *>(event);
                if (message->type == m_request) {
                    ++m_requests;
                    if (m_extents) {
                        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, message->window, m_frameExtents,
                                            XCB_ATOM_CARDINAL, 32, 4, m_extents->data());
                        xcb_flush(m_connection);
                    }
                }
            }
            std::free(event);
        }
    }

    xcb_connection_t *m_connection;
    std::optional<std::array<uint32_t, 4>> m_extents;
    xcb_window_t m_root = 0;
    xcb_atom_t m_supported = 0, m_request = 0, m_frameExtents = 0;
    std::atomic<bool> m_stop = false;
    std::atomic<int> m_requests = 0;
    std::thread m_thread;
};

QSizeF twips(int width, int height)
{
    return QSizeF(width, height) * platform::TwipsPerPixel;
}

} // namespace

class TestWindowSystem final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server");
    }

    void theFrameIsAskedForOncePerWindow()
    {
        FakeWindowManager manager(true, std::array<uint32_t, 4>{2, 3, 22, 4});
        platform::QtWindowSystem windows;
        QWidget window;
        window.setFixedSize(382, 141);
        QCOMPARE(windows.outerSizeInTwips(window), twips(382 + 5, 141 + 26));
        windows.setOuterTopInTwips(window, 1500);
        windows.setOuterLeftInTwips(window, 3000);
        QCOMPARE(windows.outerSizeInTwips(window), twips(382 + 5, 141 + 26));
        QCOMPARE(manager.requests(), 1);
        // The client area goes inside the frame whose corner was placed.
        QCOMPARE(window.windowHandle()->position(), QPoint(200 + 2, 100 + 22));

        QWidget another;
        another.setFixedSize(100, 50);
        QCOMPARE(windows.outerSizeInTwips(another), twips(100 + 5, 50 + 26));
        QCOMPARE(manager.requests(), 2);
    }

    void withoutTheRequestTheClientAreaIsTheWindow()
    {
        FakeWindowManager manager(false, std::array<uint32_t, 4>{2, 3, 22, 4});
        platform::QtWindowSystem windows;
        QWidget window;
        window.setFixedSize(382, 141);
        QCOMPARE(windows.outerSizeInTwips(window), twips(382, 141));
        QCOMPARE(manager.requests(), 0);
    }

    // Last: a silent window manager uses up the program's wait. Ten windows
    // asked twice each would wait two seconds with a wait per question; the
    // one wait of 100 ms leaves a wide margin for a loaded machine.
    void aSilentWindowManagerHoldsTheWindowsBackOnlyOnce()
    {
        FakeWindowManager manager(true, std::nullopt);
        platform::QtWindowSystem windows;
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < 10; ++i) {
            QWidget window;
            window.setFixedSize(382, 141);
            QCOMPARE(windows.outerSizeInTwips(window), twips(382, 141));
            QCOMPARE(windows.outerSizeInTwips(window), twips(382, 141));
        }
        const qint64 elapsed = timer.elapsed();
        QVERIFY2(elapsed < 1000, qPrintable(QString::number(elapsed)));
        QTRY_COMPARE(manager.requests(), 10);
    }
};

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    TestWindowSystem test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_windowsystem.moc"
