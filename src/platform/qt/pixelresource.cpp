#include "platform/qt/pixelresource.h"

#include <QResource>

#include <cstring>

namespace qtplatform {

namespace {

// The stored bytes, which the resources keep uncompressed, and the size
// their header gives, checked against them.
struct StoredPixels
{
    const uchar *rows = nullptr;
    QSize size;
};

StoredPixels storedPixels(const QString &path)
{
    const QResource resource(path);
    if (!resource.isValid() || resource.compressionAlgorithm() != QResource::NoCompression
        || resource.size() < qint64(PixelHeaderSize))
        return {};
    quint32 size[2] = {};
    std::memcpy(size, resource.data(), sizeof size);
    if (size[0] == 0 || size[1] == 0 || size[0] > 1024 || size[1] > 1024
        || resource.size() != qint64(PixelHeaderSize) + qint64(size[0]) * size[1] * 4)
        return {};
    return {resource.data() + PixelHeaderSize, QSize(int(size[0]), int(size[1]))};
}

} // namespace

QPixmap resourcePixmap(const QString &path)
{
    const StoredPixels stored = storedPixels(path);
    if (!stored.rows)
        return {};
    // Copied row by row: the resource's bytes need not be aligned as an
    // image's rows must be.
    QImage image(stored.size, PixelFormat);
    const qsizetype rowBytes = qsizetype(stored.size.width()) * 4;
    for (int y = 0; y < stored.size.height(); ++y)
        std::memcpy(image.scanLine(y), stored.rows + y * rowBytes, std::size_t(rowBytes));
    return QPixmap::fromImage(std::move(image));
}

QSize resourceImageSize(const QString &path)
{
    return storedPixels(path).size;
}

} // namespace qtplatform
