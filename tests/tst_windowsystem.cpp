// The frame-extents request on a real X server (Xvfb), with this test in
// the window manager's place: it advertises the request on the root window
// and answers it, or stays silent, from a connection of its own.
#include "platform/qt/guiapplication.h"
#include "platform/qt/qtwindow.h"
#include "platform/qt/qtwindowsystem.h"
#include "platform/qt/windowhandle.h"
#include "ui/layout.h"

#include <QTest>
#include <QWindow>

#include <xcb/xcb.h>

#include <array>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
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
    // nothing if not given. One that frames on mapping sets them on each
    // window as it is mapped, as kwin does.
    explicit FakeWindowManager(bool advertises, std::optional<std::array<uint32_t, 4>> extents,
                               bool framesOnMapping = false)
        : m_connection(xcb_connect(nullptr, nullptr))
        , m_extents(extents)
        , m_framesOnMapping(framesOnMapping)
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
            if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY && m_framesOnMapping && m_extents) {
                const auto *mapped = reinterpret_cast<xcb_map_notify_event_t *>(event);
                xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, mapped->window, m_frameExtents,
                                    XCB_ATOM_CARDINAL, 32, 4, m_extents->data());
                xcb_flush(m_connection);
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
    bool m_framesOnMapping;
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

QSizeF outerSize(const platform::NativeWindow &window)
{
    const platform::TwipSize size = window.outerSizeInTwips();
    return QSizeF(size.width, size.height);
}

class NoEvents final : public platform::WindowEvents
{
public:
    bool keyPress(std::int16_t, std::optional<std::size_t>) override { return true; }
    void closeRequested() override {}
};

} // namespace

class TestWindowSystem final : public QObject
{
    Q_OBJECT

private:
    qtplatform::QtWindowSystem m_windows;
    NoEvents m_events;

    std::unique_ptr<platform::NativeWindow> newWindow() { return m_windows.createWindow(ui::PrincipalLayout, m_events); }

private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server");
    }

    // The whole screen of the X server (with_xvfb.sh: 1024 x 768).
    void theScreenInTwips()
    {
        const platform::TwipSize screen = m_windows.screenSizeInTwips();
        QCOMPARE(QSizeF(screen.width, screen.height), twips(1024, 768));
    }

    void theFrameIsAskedForOncePerWindow()
    {
        FakeWindowManager manager(true, std::array<uint32_t, 4>{2, 3, 22, 4});
        const auto window = newWindow();
        QCOMPARE(outerSize(*window), twips(382 + 5, 141 + 26));
        // Half a pixel rounds away from the origin.
        window->setOuterTopInTwips(1507.5);
        window->setOuterLeftInTwips(2992.5);
        QCOMPARE(outerSize(*window), twips(382 + 5, 141 + 26));
        QCOMPARE(manager.requests(), 1);
        // The client area goes inside the frame whose corner was placed.
        const QWindow *handle = static_cast<qtplatform::WindowHandle &>(*window).window()->windowHandle();
        QCOMPARE(handle->position(), QPoint(200 + 2, 101 + 22));

        const auto another = newWindow();
        QCOMPARE(outerSize(*another), twips(382 + 5, 141 + 26));
        QCOMPARE(manager.requests(), 2);
    }

    void withoutTheRequestTheClientAreaIsTheWindow()
    {
        FakeWindowManager manager(false, std::array<uint32_t, 4>{2, 3, 22, 4});
        const auto window = newWindow();
        QCOMPARE(outerSize(*window), twips(382, 141));
        QCOMPARE(manager.requests(), 0);
    }

    // Told of the frame only once the window is on screen, the window moves
    // so that its frame keeps the centre it was placed for.
    void aFrameToldOnMappingKeepsTheCentre()
    {
        FakeWindowManager manager(false, std::array<uint32_t, 4>{2, 3, 22, 4}, true);
        const auto window = newWindow();
        window->setOuterTopInTwips(1507.5);
        window->setOuterLeftInTwips(2992.5);
        window->showTopmostWithoutActivating();
        const QWindow *handle = static_cast<qtplatform::WindowHandle &>(*window).window()->windowHandle();
        // Placed as 382 x 141 at (200, 101), framed 387 x 167: the frame's
        // corner goes to (198, 88), the client area 2 and 22 inside it.
        QTRY_COMPARE(handle->position(), QPoint(198 + 2, 88 + 22));
    }

    // Last: a silent window manager uses up the program's wait. Each window
    // asks once however often its size is wanted, and without an answer
    // the client area stands for the window.
    void aSilentWindowManagerIsAskedOncePerWindow()
    {
        FakeWindowManager manager(true, std::nullopt);
        for (int i = 0; i < 3; ++i) {
            const auto window = newWindow();
            QCOMPARE(outerSize(*window), twips(382, 141));
            QCOMPARE(outerSize(*window), twips(382, 141));
        }
        QTRY_COMPARE(manager.requests(), 3);
    }
};

int main(int argc, char **argv)
{
    qtplatform::setCommandLine(argc, argv);
    qtplatform::ensureGuiApplication();
    TestWindowSystem test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_windowsystem.moc"
