#pragma once

#include <QImage>
#include <QPixmap>
#include <QSize>
#include <QString>

#include <cstddef>

namespace qtplatform {

// The window's images, stored among the resources as the pixels they
// decode to (made at build time from the PNG files by notificador_pixels):
// the width and height, 32 bits each, then premultiplied ARGB32 rows.
inline constexpr QImage::Format PixelFormat = QImage::Format_ARGB32_Premultiplied;
inline constexpr std::size_t PixelHeaderSize = 8;

// The image, or a null pixmap where the resource is missing or malformed.
QPixmap resourcePixmap(const QString &path);
// The size from the image's header.
QSize resourceImageSize(const QString &path);

} // namespace qtplatform
