#pragma once

#include "platform/windowlayout.h"

class QWidget;

namespace qtplatform {

// What a screen reader learns of a notification window. The window itself
// takes no focus, so nothing would be read when it appears; instead it
// shows itself to assistive technology as a notification, named by its
// title and described by the sender and the message, which is what a
// screen reader announces of a notification as it appears. Decorations
// (shapes, lines, the picture) are left out of what it reads.

// Makes the notification windows of this process known to Qt's
// accessibility as such; the first call does it, later ones do nothing.
void installNotificationAccessibility();

// Tells assistive technology what the widget of a control is, as the
// control's design says.
void describeControl(QWidget &widget, const platform::Control &control);

// Tells assistive technology that the window has just been shown. Qt does
// so itself once it is connected to the accessibility bus; the connection
// is made in the background at start-up, and a notification shown before
// it is up would never be announced, so it is announced once it is.
void announceShown(QWidget &window);

} // namespace qtplatform
