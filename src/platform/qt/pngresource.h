#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>

namespace qtplatform {

// The window's images, read as the PNG files they are. Left to find the
// format itself, Qt's image reader loads and asks every image format plugin
// installed (gif, ico, jpeg...), which costs more than decoding the images.
QPixmap pngPixmap(const QString &path);
// The size from the image's header, without decoding it.
QSize pngSize(const QString &path);

} // namespace qtplatform
