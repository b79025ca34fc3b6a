#pragma once

#include <QMargins>

#include <optional>

class QWidget;

// The frame and caption bar the window manager draws around a top-level
// window. On X11 the frame is added only when the window is mapped, so Qt
// knows nothing of it before then; the window manager is asked for the
// extents it will give the window instead.
namespace qtplatform {

// Asks the window manager now for the frame it will give the window, which
// gets the window its native counterpart: the answer is then on its way
// while the window is built, and frameMargins() waits only for what is left.
void askFrameMarginsAhead(QWidget &window);

// Left, top, right and bottom, in device-independent pixels; none where
// the window manager does not tell.
QMargins frameMargins(QWidget &window);

// Places the client area so that the frame around it has its outer left
// and top edges where asked (either may be left where it is): a window
// manager that has not framed the window yet would otherwise take the
// frame's corner for the client's. Where the window manager tells of the
// frame only once it has put it around the window, the window is moved then,
// once, so that the frame keeps the centre of where it was placed.
void placeOuterCorner(QWidget &window, std::optional<int> left, std::optional<int> top);

} // namespace qtplatform
