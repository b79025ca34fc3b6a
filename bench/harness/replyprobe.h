#pragma once

#include <X11/Xlib.h>

namespace bench {

class WindowWatch;

// A UDP socket on 127.0.0.1 that stands for the sender of a notification,
// and the user who answers it: a click into the answer box, a word, Enter
// (all through XTest, as from the keyboard and mouse).
class ReplyProbe
{
public:
    ReplyProbe();
    ~ReplyProbe();
    ReplyProbe(const ReplyProbe &) = delete;
    ReplyProbe &operator=(const ReplyProbe &) = delete;

    int port() const { return m_port; }

    // Throws away datagrams from earlier runs.
    void drain();

    // Answers the window WATCH follows; returns the milliseconds from the
    // press of Enter to the datagram's arrival, or a negative number if none
    // came within TIMEOUT_MS.
    double answer(Display *display, WindowWatch &watch, double timeoutMs);

private:
    void key(Display *display, unsigned long keysym);

    int m_socket = -1;
    int m_port = 0;
};

} // namespace bench
