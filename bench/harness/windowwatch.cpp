#include "windowwatch.h"

#include "clock.h"

#include <X11/extensions/XRes.h>
#include <X11/extensions/Xdamage.h>

#include <poll.h>

#include <stdexcept>

namespace bench {

namespace {

// Windows of other clients vanish at any moment; an error about one of them
// says only that it is gone.
int ignoreErrors(Display *, XErrorEvent *)
{
    return 0;
}

} // namespace

WindowWatch::WindowWatch(Display *display)
    : m_display(display)
    , m_root(DefaultRootWindow(display))
{
    int errorBase = 0;
    if (!XDamageQueryExtension(display, &m_damageEventBase, &errorBase))
        throw std::runtime_error("the X server has no Damage extension");
    int major = 1, minor = 2;
    if (!XResQueryVersion(display, &major, &minor) || major < 1 || (major == 1 && minor < 2))
        throw std::runtime_error("the X server has no X-Resource 1.2 (client PIDs)");
    XSetErrorHandler(ignoreErrors);
    XSelectInput(display, m_root, SubstructureNotifyMask);
    XSync(display, False);
}

void WindowWatch::follow(pid_t pid)
{
    m_pid = pid;
    m_candidateCount = 0;
    m_client = m_frame = None;
    m_clientMapped = m_frameMapped = false;
    m_mappedMs = m_paintedMs = 0;
}

pid_t WindowWatch::ownerOf(Window window)
{
    XResClientIdSpec query{window, XRES_CLIENT_ID_PID_MASK};
    long count = 0;
    XResClientIdValue *values = nullptr;
    pid_t pid = -1;
    if (XResQueryClientIds(m_display, 1, &query, &count, &values) == Success) {
        for (long i = 0; i < count && pid < 0; ++i)
            pid = XResGetClientPid(&values[i]);
        XResClientIdsDestroy(count, values);
    }
    return pid;
}

Window WindowWatch::topLevelOf(Window window)
{
    for (;;) {
        Window root = None, parent = None, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(m_display, window, &root, &parent, &children, &count))
            return None;
        if (children)
            XFree(children);
        if (parent == m_root || parent == None)
            return window;
        window = parent;
    }
}

void WindowWatch::adopt(Window window)
{
    if (m_candidateCount == MaxCandidates || ownerOf(window) != m_pid)
        return;
    m_candidates[m_candidateCount++] = window;
    // Selected before the window manager can map it: mapping waits for the
    // window manager, which this client's requests get ahead of.
    XSelectInput(m_display, window, StructureNotifyMask);
    XDamageCreate(m_display, window, XDamageReportNonEmpty);
    XWindowAttributes attributes;
    if (XGetWindowAttributes(m_display, window, &attributes) && attributes.map_state != IsUnmapped
        && m_client == None) {
        // Too late to see the map itself: noted now, slightly late.
        m_client = window;
        m_clientMapped = true;
        m_frame = topLevelOf(window);
        m_frameMapped = true;
        checkShown(nowMs());
    }
}

void WindowWatch::checkShown(double atMs)
{
    if (m_mappedMs > 0 || !m_clientMapped)
        return;
    if (m_frameMapped)
        m_mappedMs = atMs;
}

void WindowWatch::handle(XEvent &event)
{
    const double at = nowMs();
    auto isCandidate = [this](Window w) {
        for (int i = 0; i < m_candidateCount; ++i) {
            if (m_candidates[i] == w)
                return true;
        }
        return false;
    };
    switch (event.type) {
    case CreateNotify:
        if (event.xcreatewindow.parent == m_root)
            adopt(event.xcreatewindow.window);
        break;
    case MapNotify: {
        const Window w = event.xmap.window;
        if (m_client == None && event.xmap.event == w && isCandidate(w)) {
            // The window manager has reparented the client into its frame by
            // now; the client is on screen once that frame is mapped too.
            m_client = w;
            m_clientMapped = true;
            m_frame = topLevelOf(w);
            XWindowAttributes attributes;
            m_frameMapped = m_frame == w
                || (XGetWindowAttributes(m_display, m_frame, &attributes) && attributes.map_state != IsUnmapped);
            checkShown(at);
        } else if (w != None && w == m_frame && event.xmap.event == m_root) {
            m_frameMapped = true;
            checkShown(at);
        }
        break;
    }
    default:
        if (event.type == m_damageEventBase + XDamageNotify) {
            const auto &damage = reinterpret_cast<XDamageNotifyEvent &>(event);
            if (m_paintedMs == 0 && damage.drawable == m_client && m_client != None)
                m_paintedMs = at;
        }
        break;
    }
}

bool WindowWatch::waitUntil(double deadlineMs, bool (WindowWatch::*done)() const)
{
    pollfd fd{ConnectionNumber(m_display), POLLIN, 0};
    for (;;) {
        while (XPending(m_display)) {
            XEvent event;
            XNextEvent(m_display, &event);
            handle(event);
        }
        if ((this->*done)())
            return true;
        const double left = deadlineMs - nowMs();
        if (left <= 0)
            return false;
        poll(&fd, 1, int(left) + 1);
    }
}

bool WindowWatch::waitShownAndPainted(double deadlineMs)
{
    return waitUntil(deadlineMs, &WindowWatch::shownAndPainted);
}

void WindowWatch::idleUntil(double deadlineMs)
{
    waitUntil(deadlineMs, &WindowWatch::never);
}

bool WindowWatch::clientRect(int &x, int &y, int &width, int &height)
{
    XWindowAttributes attributes;
    Window child;
    if (m_client == None || !XGetWindowAttributes(m_display, m_client, &attributes)
        || !XTranslateCoordinates(m_display, m_client, m_root, 0, 0, &x, &y, &child))
        return false;
    width = attributes.width;
    height = attributes.height;
    return true;
}

} // namespace bench
