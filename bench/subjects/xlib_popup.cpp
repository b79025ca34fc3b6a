// One plain X window of the notifier's client size with a title, three lines
// of text and a box: the least any program can do to put the message on
// screen. It paints on Expose, with no background of its own, as Qt does, so
// its first paint is its own drawing and not the server's.

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstring>

int main()
{
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        return 1;
    const int screen = DefaultScreen(display);
    const unsigned long white = WhitePixel(display, screen);
    const unsigned long black = BlackPixel(display, screen);

    XSetWindowAttributes attributes{};
    attributes.background_pixmap = None;
    attributes.event_mask = ExposureMask | StructureNotifyMask;
    const Window window = XCreateWindow(display, RootWindow(display, screen), 0, 0, 382, 141, 0, CopyFromParent,
                                        InputOutput, CopyFromParent, CWBackPixmap | CWEventMask, &attributes);
    XStoreName(display, window, "Mensaje instantaneo");
    XSizeHints hints{};
    hints.flags = PMinSize | PMaxSize;
    hints.min_width = hints.max_width = 382;
    hints.min_height = hints.max_height = 141;
    XSetWMNormalHints(display, window, &hints);
    Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window, &deleteWindow, 1);
    XMapWindow(display, window);

    GC gc = XCreateGC(display, window, 0, nullptr);
    const char *lines[] = {"Ana", "Hola, que tal?", "12:00 PM"};
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == ClientMessage)
            break;
        if (event.type != Expose || event.xexpose.count != 0)
            continue;
        XSetForeground(display, gc, white);
        XFillRectangle(display, window, gc, 0, 0, 382, 141);
        XSetForeground(display, gc, black);
        XDrawString(display, window, gc, 10, 18, lines[0], int(std::strlen(lines[0])));
        XDrawString(display, window, gc, 320, 18, lines[2], int(std::strlen(lines[2])));
        XDrawString(display, window, gc, 72, 58, lines[1], int(std::strlen(lines[1])));
        XDrawRectangle(display, window, gc, 6, 112, 368, 24);
        XFlush(display);
    }
    XFreeGC(display, gc);
    XCloseDisplay(display);
    return 0;
}
