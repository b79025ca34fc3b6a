#pragma once

#include <X11/Xlib.h>

#include <sys/types.h>

namespace bench {

// Follows, on the root window, the top-level windows one process creates
// (told apart from everyone else's by the X-Resource extension's client PID)
// and notes when the first of them is on screen and when it is first drawn
// into (the Damage extension on that window, so the window manager's frame
// and the rest of the screen do not count).
class WindowWatch
{
public:
    explicit WindowWatch(Display *display);
    WindowWatch(const WindowWatch &) = delete;
    WindowWatch &operator=(const WindowWatch &) = delete;

    // Forgets the previous process and follows PID from now on.
    void follow(pid_t pid);

    // Handles events until the window is on screen and painted, or until
    // DEADLINE_MS. Returns whether both happened.
    bool waitShownAndPainted(double deadlineMs);

    // Handles events (so none pile up) until DEADLINE_MS.
    void idleUntil(double deadlineMs);

    double mappedAtMs() const { return m_mappedMs; }
    double paintedAtMs() const { return m_paintedMs; }
    Window client() const { return m_client; }

    // The client area in root coordinates; false if it cannot be had.
    bool clientRect(int &x, int &y, int &width, int &height);

private:
    void handle(XEvent &event);
    void adopt(Window window);
    pid_t ownerOf(Window window);
    Window topLevelOf(Window window);
    void checkShown(double atMs);
    bool waitUntil(double deadlineMs, bool (WindowWatch::*done)() const);
    bool shownAndPainted() const { return m_mappedMs > 0 && m_paintedMs > 0; }
    bool never() const { return false; }

    Display *m_display;
    Window m_root;
    int m_damageEventBase = 0;
    pid_t m_pid = -1;

    static constexpr int MaxCandidates = 16;
    Window m_candidates[MaxCandidates] = {};
    int m_candidateCount = 0;

    Window m_client = None;       // the first candidate to be mapped
    Window m_frame = None;        // its top-level ancestor, if reparented
    bool m_clientMapped = false;
    bool m_frameMapped = false;
    double m_mappedMs = 0;
    double m_paintedMs = 0;
};

} // namespace bench
