#include "platform/qt/pngresource.h"

#include <QImageReader>

namespace qtplatform {

namespace {

class PngReader : public QImageReader
{
public:
    explicit PngReader(const QString &path)
        : QImageReader(path, "png")
    {
        setAutoDetectImageFormat(false);
    }
};

} // namespace

QPixmap pngPixmap(const QString &path)
{
    PngReader reader(path);
    return QPixmap::fromImageReader(&reader);
}

QSize pngSize(const QString &path)
{
    return PngReader(path).size();
}

} // namespace qtplatform
