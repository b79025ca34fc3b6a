#include "replyprobe.h"

#include "clock.h"
#include "windowwatch.h"

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace bench {

namespace {

// Where the answer box is in the notifier's client area.
constexpr int AnswerBoxX = 190;
constexpr int AnswerBoxY = 124;

bool focusInside(Display *display, Window client)
{
    Window focus = None;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    while (focus != None && focus != PointerRoot) {
        if (focus == client)
            return true;
        Window root = None, parent = None, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display, focus, &root, &parent, &children, &count))
            return false;
        if (children)
            XFree(children);
        if (parent == root)
            return false;
        focus = parent;
    }
    return false;
}

} // namespace

ReplyProbe::ReplyProbe()
{
    m_socket = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (m_socket < 0 || bind(m_socket, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0
        || getsockname(m_socket, reinterpret_cast<sockaddr *>(&address), &length) != 0)
        throw std::runtime_error("cannot bind a UDP socket on 127.0.0.1");
    m_port = ntohs(address.sin_port);
}

ReplyProbe::~ReplyProbe()
{
    if (m_socket >= 0)
        close(m_socket);
}

void ReplyProbe::drain()
{
    char buffer[2048];
    while (recv(m_socket, buffer, sizeof buffer, MSG_DONTWAIT) >= 0) {
    }
}

void ReplyProbe::key(Display *display, unsigned long keysym)
{
    const KeyCode code = XKeysymToKeycode(display, keysym);
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
}

double ReplyProbe::answer(Display *display, WindowWatch &watch, double timeoutMs)
{
    int x = 0, y = 0, width = 0, height = 0;
    if (!watch.clientRect(x, y, width, height))
        return -1;
    XTestFakeMotionEvent(display, -1, x + AnswerBoxX, y + AnswerBoxY, CurrentTime);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XSync(display, False);
    const double focusDeadline = nowMs() + 1000;
    while (!focusInside(display, watch.client()) && nowMs() < focusDeadline)
        watch.idleUntil(nowMs() + 5);
    key(display, XK_o);
    key(display, XK_k);
    XSync(display, False);
    watch.idleUntil(nowMs() + 50);

    drain();
    const KeyCode enter = XKeysymToKeycode(display, XK_Return);
    const double pressed = nowMs();
    XTestFakeKeyEvent(display, enter, True, CurrentTime);
    XFlush(display);
    pollfd fd{m_socket, POLLIN, 0};
    const bool arrived = poll(&fd, 1, int(timeoutMs)) == 1;
    const double elapsed = nowMs() - pressed;
    XTestFakeKeyEvent(display, enter, False, CurrentTime);
    XSync(display, False);
    if (!arrived)
        return -1;
    drain();
    return elapsed;
}

} // namespace bench
