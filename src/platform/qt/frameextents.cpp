#include "platform/qt/frameextents.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QVariant>
#include <QWidget>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <thread>

namespace qtplatform {

namespace {

struct FrameExtentsAtoms
{
    xcb_atom_t supported = XCB_ATOM_NONE;
    xcb_atom_t request = XCB_ATOM_NONE;
    xcb_atom_t extents = XCB_ATOM_NONE;
};

// The three names go to the server together and cost one round trip.
FrameExtentsAtoms internFrameExtentsAtoms(xcb_connection_t *connection)
{
    static constexpr const char *names[] = {"_NET_SUPPORTED", "_NET_REQUEST_FRAME_EXTENTS", "_NET_FRAME_EXTENTS"};
    xcb_intern_atom_cookie_t cookies[std::size(names)];
    for (std::size_t i = 0; i < std::size(names); ++i)
        cookies[i] = xcb_intern_atom(connection, 0, uint16_t(std::strlen(names[i])), names[i]);
    xcb_atom_t atoms[std::size(names)];
    for (std::size_t i = 0; i < std::size(names); ++i) {
        xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(connection, cookies[i], nullptr);
        atoms[i] = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
    }
    return {atoms[0], atoms[1], atoms[2]};
}

bool windowManagerSupports(xcb_connection_t *connection, xcb_window_t root, xcb_atom_t supported, xcb_atom_t wanted)
{
    const auto cookie = xcb_get_property(connection, 0, root, supported, XCB_ATOM_ATOM, 0, 1024);
    xcb_get_property_reply_t *reply = xcb_get_property_reply(connection, cookie, nullptr);
    bool found = false;
    if (reply && reply->format == 32) {
        const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply));
        const int count = xcb_get_property_value_length(reply) / 4;
        for (int i = 0; i < count && !found; ++i)
            found = atoms[i] == wanted;
    }
    std::free(reply);
    return found;
}

// Left, right, top and bottom, or nothing yet.
bool readFrameExtents(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t extentsAtom, QMargins &margins)
{
    const auto cookie = xcb_get_property(connection, 0, window, extentsAtom, XCB_ATOM_CARDINAL, 0, 4);
    xcb_get_property_reply_t *reply = xcb_get_property_reply(connection, cookie, nullptr);
    const bool complete = reply && reply->format == 32 && xcb_get_property_value_length(reply) == 16;
    if (complete) {
        const auto *values = static_cast<const uint32_t *>(xcb_get_property_value(reply));
        margins = QMargins(int(values[0]), int(values[2]), int(values[1]), int(values[3]));
    }
    std::free(reply);
    return complete;
}

// How long, in all, the program waits for the window manager to answer
// frame-extents requests. An idle one answers within a few milliseconds;
// mutter, busy compositing for Xwayland on a loaded machine, has taken more
// than 100 ms, and a window placed without its frame sits off centre by
// half the caption bar. One that advertises the request but never answers
// holds the notification back once, by this much, and no more.
std::chrono::steady_clock::duration frameExtentsWaitLeft = std::chrono::seconds(1);

// Whether the window manager has been asked for the window's extents: the
// atom of the property it answers in, or none where it cannot be asked.
const char *const FrameExtentsAskedProperty = "_notificador_frameExtentsAsked";

// The window manager can be asked for the extents it will give an unmapped
// window, and answers by setting a property on it. Asked once per window.
xcb_atom_t askFrameExtents(QWidget &window)
{
    const QVariant asked = window.property(FrameExtentsAskedProperty);
    if (asked.isValid())
        return xcb_atom_t(asked.toUInt());
    window.setProperty(FrameExtentsAskedProperty, uint(XCB_ATOM_NONE));
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || QGuiApplication::platformName() != QLatin1String("xcb") || !x11->connection())
        return XCB_ATOM_NONE;
    xcb_connection_t *connection = x11->connection();
    const auto id = xcb_window_t(window.winId());
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const FrameExtentsAtoms atoms = internFrameExtentsAtoms(connection);
    if (!screen || !windowManagerSupports(connection, screen->root, atoms.supported, atoms.request))
        return XCB_ATOM_NONE;

    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = id;
    message.type = atoms.request;
    xcb_send_event(connection, 0, screen->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&message));
    xcb_flush(connection);
    window.setProperty(FrameExtentsAskedProperty, uint(atoms.extents));
    return atoms.extents;
}

// The window manager's answer, waited for within what is left of the wait.
QMargins x11FrameMarginsBeforeMapping(QWidget &window)
{
    const xcb_atom_t extents = askFrameExtents(window);
    if (extents == XCB_ATOM_NONE)
        return {};
    xcb_connection_t *connection = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
    const auto id = xcb_window_t(window.winId());
    QMargins margins;
    const auto start = std::chrono::steady_clock::now();
    const auto deadline = start + frameExtentsWaitLeft;
    bool answered;
    while (!(answered = readFrameExtents(connection, id, extents, margins))
           && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    frameExtentsWaitLeft = std::max(frameExtentsWaitLeft - (std::chrono::steady_clock::now() - start),
                                    std::chrono::steady_clock::duration::zero());
    if (!answered)
        return {};
    const qreal ratio = window.devicePixelRatioF();
    return QMargins(qRound(margins.left() / ratio), qRound(margins.top() / ratio),
                    qRound(margins.right() / ratio), qRound(margins.bottom() / ratio));
}

// The window manager's answer is kept with the window: centring asks for
// the frame several times before the window is shown, and the answer does
// not change meanwhile.
const char *const FrameMarginsProperty = "_notificador_frameMarginsBeforeMapping";

const char *const KeepCentreProperty = "_notificador_keepCentreOnceFramed";

// A window manager that does not tell the frame before the window is
// mapped (kwin) has it placed as if it had none, so the frame would stand
// off by the caption bar's height from where the window was put. It tells
// the frame once it has put it around the window, by setting the property
// on it: the window is then moved, once, so that its frame keeps the
// centre it was placed for.
class KeepCentreOnceFramed final : public QObject, public QAbstractNativeEventFilter
{
public:
    KeepCentreOnceFramed(QWidget &window, QMargins assumed, xcb_connection_t *connection, xcb_atom_t extentsAtom)
        : QObject(&window)
        , m_window(window)
        , m_assumed(assumed)
        , m_connection(connection)
        , m_id(xcb_window_t(window.winId()))
        , m_extentsAtom(extentsAtom)
    {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }

    ~KeepCentreOnceFramed() override
    {
        if (auto *application = QCoreApplication::instance())
            application->removeNativeEventFilter(this);
    }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
        if (m_done || eventType != "xcb_generic_event_t")
            return false;
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
            return false;
        const auto *change = reinterpret_cast<const xcb_property_notify_event_t *>(event);
        if (change->window == m_id && change->atom == m_extentsAtom && change->state == XCB_PROPERTY_NEW_VALUE) {
            m_done = true;
            // Moved once Qt has handled the event, not from within it.
            QMetaObject::invokeMethod(this, [this] { keepCentre(); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    void keepCentre()
    {
        QMargins framed;
        if (readFrameExtents(m_connection, m_id, m_extentsAtom, framed)) {
            const qreal ratio = m_window.devicePixelRatioF();
            framed = QMargins(qRound(framed.left() / ratio), qRound(framed.top() / ratio),
                              qRound(framed.right() / ratio), qRound(framed.bottom() / ratio));
            if (framed != m_assumed) {
                QWindow *handle = m_window.windowHandle();
                const QSize client = handle->size();
                const QSize assumedOuter = client.grownBy(m_assumed);
                const QSize framedOuter = client.grownBy(framed);
                const QPoint corner = handle->position() - QPoint(m_assumed.left(), m_assumed.top())
                                      + QPoint((assumedOuter.width() - framedOuter.width()) / 2,
                                               (assumedOuter.height() - framedOuter.height()) / 2);
                handle->setPosition(corner + QPoint(framed.left(), framed.top()));
            }
        }
        deleteLater();
    }

    QWidget &m_window;
    const QMargins m_assumed;
    xcb_connection_t *const m_connection;
    const xcb_window_t m_id;
    const xcb_atom_t m_extentsAtom;
    bool m_done = false;
};

// Watches, once per window, for a frame the window manager did not tell
// of before the window was placed.
void keepCentreOnceFramed(QWidget &window, QMargins assumed)
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || QGuiApplication::platformName() != QLatin1String("xcb") || !x11->connection())
        return;
    if (window.property(KeepCentreProperty).toBool())
        return;
    window.setProperty(KeepCentreProperty, true);
    xcb_connection_t *connection = x11->connection();
    const char name[] = "_NET_FRAME_EXTENTS";
    xcb_intern_atom_reply_t *atom =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr);
    if (atom)
        new KeepCentreOnceFramed(window, assumed, connection, atom->atom);
    std::free(atom);
}

} // namespace

void askFrameMarginsAhead(QWidget &window)
{
    askFrameExtents(window);
}

QMargins frameMargins(QWidget &window)
{
    if (window.isVisible() || window.testAttribute(Qt::WA_WState_Created)) {
        const QRect frame = window.frameGeometry();
        const QRect client = window.geometry();
        const QMargins known(client.left() - frame.left(), client.top() - frame.top(),
                             frame.right() - client.right(), frame.bottom() - client.bottom());
        if (!known.isNull())
            return known;
    }
    const QVariant asked = window.property(FrameMarginsProperty);
    if (asked.isValid())
        return asked.value<QMargins>();
    const QMargins margins = x11FrameMarginsBeforeMapping(window);
    window.setProperty(FrameMarginsProperty, QVariant::fromValue(margins));
    return margins;
}

void placeOuterCorner(QWidget &window, std::optional<int> left, std::optional<int> top)
{
    const QMargins margins = frameMargins(window);
    window.winId();
    QWindow *handle = window.windowHandle();
    const QPoint client = handle->position();
    const QPoint outer(left.value_or(client.x() - margins.left()), top.value_or(client.y() - margins.top()));
    handle->setPosition(outer + QPoint(margins.left(), margins.top()));
    if (margins.isNull() && !window.isVisible())
        keepCentreOnceFramed(window, margins);
}

} // namespace qtplatform
