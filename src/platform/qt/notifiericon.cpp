#include "platform/qt/notifiericon.h"

#include "platform/qt/pixelresource.h"

#include "notificador_icon_images.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>

namespace qtplatform {

namespace {

struct IconImage
{
    QString path;
    QSize size;          // from the image's header
    QPixmap pixmap = {}; // decoded on first use
};

// Answers Qt's questions about the icon from the image headers, and decodes
// an image only when its pixels are wanted. Where several images have one
// size the one added last (the deepest) is shown, as with QIcon::addFile.
class LazyPngIconEngine final : public QIconEngine
{
public:
    explicit LazyPngIconEngine(QList<IconImage> images) : m_images(std::move(images)) {}

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        IconImage *image = bestFor(size);
        if (!image)
            return {};
        if (image->pixmap.isNull())
            image->pixmap = resourcePixmap(image->path);
        QPixmap shown = image->pixmap;
        const QSize fitted = actualSize(size, mode, state);
        if (fitted != shown.size())
            shown = shown.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        if (mode != QIcon::Normal) {
            // Disabled, active and selected looks are made from the image,
            // by the style, as for any icon.
            if (qobject_cast<QApplication *>(QCoreApplication::instance())) {
                QStyleOption option;
                option.palette = QApplication::palette();
                shown = QApplication::style()->generatedIconPixmap(mode, shown, &option);
            }
        }
        return shown;
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }

    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        const IconImage *image = bestFor(size);
        if (!image)
            return {};
        QSize actual = image->size;
        if (actual.width() > size.width() || actual.height() > size.height())
            actual.scale(size, Qt::KeepAspectRatio);
        return actual;
    }

    // Every image, duplicates of a size included, in the order added: the
    // window icon offers each to the desktop.
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        QList<QSize> sizes;
        if (mode == QIcon::Normal && state == QIcon::Off) {
            for (const IconImage &image : std::as_const(m_images))
                sizes.append(image.size);
        }
        return sizes;
    }

    bool isNull() override { return m_images.isEmpty(); }
    QString key() const override { return QStringLiteral("LazyPngIconEngine"); }
    QIconEngine *clone() const override { return new LazyPngIconEngine(*this); }

private:
    // The smallest image that covers the size, or failing that the largest;
    // of equal sizes the one added last.
    IconImage *bestFor(const QSize &size)
    {
        const qint64 wanted = qint64(size.width()) * size.height();
        IconImage *best = nullptr;
        qint64 bestArea = 0;
        for (IconImage &image : m_images) {
            const qint64 area = qint64(image.size.width()) * image.size.height();
            const bool covers = area >= wanted;
            const bool bestCovers = best && bestArea >= wanted;
            if (!best || (covers && (!bestCovers || area <= bestArea)) || (!covers && !bestCovers && area >= bestArea)) {
                best = &image;
                bestArea = area;
            }
        }
        return best;
    }

    QList<IconImage> m_images;
};

} // namespace

QIcon notifierIcon()
{
    QList<IconImage> images;
    for (const char *name : {NOTIFICADOR_ICON_IMAGES}) {
        const QString path = QStringLiteral(":/icons/%1.pixels").arg(QLatin1String(name));
        const QSize size = resourceImageSize(path);
        if (size.isValid())
            images.append({path, size});
    }
    return QIcon(new LazyPngIconEngine(std::move(images)));
}

} // namespace qtplatform
