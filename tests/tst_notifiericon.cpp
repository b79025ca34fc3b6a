#include "platform/qt/notifiericon.h"

#include <QApplication>
#include <QImage>
#include <QTest>

namespace {

QImage resourceImage(const char *name)
{
    return QImage(QStringLiteral(NOTIFICADOR_ICONS_DIR "/%1.png").arg(QLatin1String(name)))
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage shown(const QIcon &icon, int size, QIcon::Mode mode = QIcon::Normal)
{
    return icon.pixmap(QSize(size, size), 1.0, mode).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace

class TestNotifierIcon final : public QObject
{
    Q_OBJECT

private slots:
    void offersEverySevenImagesInTheIcoOrder()
    {
        const QIcon icon = qtplatform::notifierIcon();
        QVERIFY(!icon.isNull());
        QCOMPARE(icon.availableSizes(), (QList<QSize>{{16, 16}, {48, 48}, {32, 32}, {16, 16}, {48, 48}, {32, 32}, {16, 16}}));
        QVERIFY(icon.availableSizes(QIcon::Disabled).isEmpty());
    }

    void showsTheDeepestImageOfEachSize()
    {
        const QIcon icon = qtplatform::notifierIcon();
        QCOMPARE(shown(icon, 16), resourceImage("icon-16-32bit"));
        QCOMPARE(shown(icon, 32), resourceImage("icon-32-32bit"));
        QCOMPARE(shown(icon, 48), resourceImage("icon-48-32bit"));
    }

    void otherSizesComeFromTheNearestLargerImage()
    {
        const QIcon icon = qtplatform::notifierIcon();
        QCOMPARE(icon.actualSize(QSize(24, 24)), QSize(24, 24));
        QCOMPARE(shown(icon, 24),
                 resourceImage("icon-32-32bit").scaled(24, 24, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        // Never scaled up: above 48 px the largest image is given as it is.
        QCOMPARE(icon.actualSize(QSize(256, 256)), QSize(48, 48));
        QCOMPARE(shown(icon, 256), resourceImage("icon-48-32bit"));
        QCOMPARE(icon.actualSize(QSize(40, 20)), QSize(20, 20));
    }

    void aDisabledIconIsDrawnDisabled()
    {
        const QIcon icon = qtplatform::notifierIcon();
        const QImage disabled = shown(icon, 32, QIcon::Disabled);
        QCOMPARE(disabled.size(), QSize(32, 32));
        QVERIFY(disabled != shown(icon, 32));
    }

    void copiesOfTheIconShowTheSameImages()
    {
        QIcon copy;
        {
            const QIcon icon = qtplatform::notifierIcon();
            shown(icon, 16);
            copy = icon;
            copy.detach();
        }
        QCOMPARE(shown(copy, 48), resourceImage("icon-48-32bit"));
        QCOMPARE(shown(copy, 16), resourceImage("icon-16-32bit"));
    }
};

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    TestNotifierIcon test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_notifiericon.moc"
