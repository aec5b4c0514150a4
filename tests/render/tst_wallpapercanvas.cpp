#include "render/wallpapercanvas.h"

#include <QPainter>
#include <QTest>

using namespace tessaro;
using namespace Qt::StringLiterals;

class TestWallpaperCanvas : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Sizes no screen has give no image rather than a crash or a huge one.
    void renderSizes() {
        WallpaperCanvas canvas;
        canvas.pen.beads = {u"cherry"_s, u"nope"_s, u"star"_s};
        QCOMPARE(renderWallpaper(canvas, 0, 100, 1), std::nullopt);
        QCOMPARE(renderWallpaper(canvas, 100, 100, -1), std::nullopt);
        QCOMPARE(renderWallpaper(canvas, 100, qQNaN(), 1), std::nullopt);
        QCOMPARE(renderWallpaper(canvas, 1e9, 100, 1), std::nullopt);
        QCOMPARE(wallpaperLayout(QSizeF(0, 100)).scale, 0.001);
        const auto image = renderWallpaper(canvas, 640, 400, 2);
        QVERIFY(image);
        QCOMPARE(image->size(), QSize(1280, 800));
        for (const QSizeF size : {QSizeF(1, 1), QSizeF(3, 900), QSizeF(900, 2)})
            QVERIFY(renderWallpaper(canvas, size.width(), size.height(), 1));
    }

    // The window layer passes its screen in; the offscreen platform's own
    // screen must not show through.
    void pixelSizeOfTheScreen_data() {
        QTest::addColumn<QSizeF>("points");
        QTest::addColumn<double>("ratio");
        QTest::addColumn<QSize>("pixels");
        const double nan = qQNaN();
        QTest::newRow("2x laptop") << QSizeF(1440, 900) << 2.0 << QSize(2880, 1800);
        QTest::newRow("ratio unknown") << QSizeF(1024, 768) << 0.0 << QSize(2048, 1536);
        QTest::newRow("ratio nan") << QSizeF(1024, 768) << nan << QSize(2048, 1536);
        QTest::newRow("no size") << QSizeF() << 2.0 << defaultWallpaperPixelSize;
        QTest::newRow("nan size") << QSizeF(nan, 900) << 2.0 << defaultWallpaperPixelSize;
        QTest::newRow("absurd size") << QSizeF(1e12, 1e12) << 2.0 << defaultWallpaperPixelSize;
    }
    void pixelSizeOfTheScreen() {
        QFETCH(QSizeF, points);
        QFETCH(double, ratio);
        QFETCH(QSize, pixels);
        QCOMPARE(wallpaperPixelSize(points, ratio), pixels);
    }
};

QTEST_MAIN(TestWallpaperCanvas)
#include "tst_wallpapercanvas.moc"
