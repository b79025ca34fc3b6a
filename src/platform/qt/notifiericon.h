#pragma once

#include <QIcon>

namespace qtplatform {

// The window's icon: the seven images of notificador.ico, 16, 32 and 48 px
// in 8, 24 and 32 bits, from the resources. An image is decoded only when
// the icon is first asked for its size: for the window icon, the deepest
// image of each size.
QIcon notifierIcon();

} // namespace qtplatform
