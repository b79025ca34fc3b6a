// Links what the notifier links (Qt Widgets, xcb) and returns at once: the
// cost of loading and relocating those libraries, and nothing else. The
// calls below never run; they keep each library in use, so that no linker
// setting can drop it.

#include <QApplication>

#include <xcb/xcb.h>

int main(int argc, char **argv)
{
    if (argc > 1000) {
        QApplication application(argc, argv);
        xcb_disconnect(xcb_connect(nullptr, nullptr));
    }
    return 0;
}
