// Made at build time, run on the build machine: writes a PNG's pixels as
// the window draws them, so that the program decodes no image when it
// starts (decoding loads and runs libpng and zlib for a few kilobytes).
//
//   notificador_pixels IMAGE.png OUTPUT
//
// OUTPUT holds the width and the height (32 bits each, in the machine's
// order), then the rows of premultiplied ARGB32 pixels, none padded.

#include "platform/qt/pixelresource.h"

#include <QFile>
#include <QImage>
#include <QImageReader>

#include <cstdio>
#include <cstring>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s IMAGE.png OUTPUT\n", argv[0]);
        return 2;
    }
    QImageReader reader(QString::fromLocal8Bit(argv[1]), "png");
    const QImage image = reader.read().convertToFormat(qtplatform::PixelFormat);
    if (image.isNull()) {
        std::fprintf(stderr, "%s: %s\n", argv[1], qPrintable(reader.errorString()));
        return 1;
    }
    QByteArray bytes(qsizetype(qtplatform::PixelHeaderSize), '\0');
    const quint32 size[] = {quint32(image.width()), quint32(image.height())};
    std::memcpy(bytes.data(), size, sizeof size);
    for (int y = 0; y < image.height(); ++y)
        bytes.append(reinterpret_cast<const char *>(image.constScanLine(y)), qsizetype(image.width()) * 4);
    QFile output(QString::fromLocal8Bit(argv[2]));
    if (!output.open(QIODevice::WriteOnly) || output.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "%s: %s\n", argv[2], qPrintable(output.errorString()));
        return 1;
    }
    return 0;
}
