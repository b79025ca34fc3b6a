#include "ui/pngresource.h"

#include <QImageReader>

namespace ui {

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

} // namespace ui
