#include "render/wallpapercanvas.h"
#include "support/imagecompare.h"

#include <QPainter>
#include <QTest>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

// A point on the bare barrel, in canvas points.
QPoint barrelPoint(QSizeF size) {
    return wallpaperLayout(size).map(QPointF(700, -8)).toPoint();
}

} // namespace

class TestWallpaperCanvas : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Tilted up to the right, the pen and its charm stay within the width and
    // the pen's middle sits a little below the canvas's; a wider canvas shows
    // a larger pen. (The pen may reach past the top and bottom: it is large.)
    void layoutKeepsThePenOnTheCanvas() {
        double last = 0;
        for (const QSizeF size : {QSizeF(300, 900), QSizeF(800, 500), QSizeF(2560, 1600)}) {
            const PenLayout layout = wallpaperLayout(size);
            const QPointF tip = layout.map(QPointF(0, 0));
            const QPointF end = charmAnchor(layout);
            QVERIFY(end.y() < tip.y());
            QVERIFY(tip.x() > 0 && end.x() + layout.scale * charmRoom < size.width());
            const double middle = (tip.y() + end.y()) / 2;
            QVERIFY(middle > size.height() / 2 && middle < 0.75 * size.height());
            QVERIFY(layout.scale > last);
            last = layout.scale;
        }
        QCOMPARE(wallpaperLayout(QSizeF(0, 100)).scale, 0.001);
    }

    void backgroundDecidesLightOrDark() {
        // An unknown barrel takes the palette's default, light or dark.
        WallpaperCanvas canvas;
        canvas.pen.barrel = u"no such barrel"_s;
        const QSizeF size(800, 500);
        canvas.bgHex = u"#4A3830"_s;
        const QImage dark = *renderWallpaper(canvas, size.width(), size.height(), 1);
        canvas.bgHex = u"#FFF8F0"_s;
        const QImage light = *renderWallpaper(canvas, size.width(), size.height(), 1);
        const QPoint p = barrelPoint(size);
        QVERIFY2(qGray(dark.pixel(p)) < 140, "dark background, dark pen");
        QVERIFY2(qGray(light.pixel(p)) > 200, "light background, light pen");
        QCOMPARE(light.pixelColor(2, 2), QColor(u"#FFF8F0"_s));
    }

    void renderSizes() {
        WallpaperCanvas canvas;
        canvas.pen.beads = {u"cherry"_s, u"nope"_s, u"star"_s};
        QCOMPARE(renderWallpaper(canvas, 0, 100, 1), std::nullopt);
        QCOMPARE(renderWallpaper(canvas, 100, 100, -1), std::nullopt);
        QCOMPARE(renderWallpaper(canvas, 100, qQNaN(), 1), std::nullopt);
        QCOMPARE(renderWallpaper(canvas, 1e9, 100, 1), std::nullopt);
        const auto image = renderWallpaper(canvas, 640, 400, 2);
        QVERIFY(image);
        QCOMPARE(image->size(), QSize(1280, 800));
        for (const QSizeF size : {QSizeF(1, 1), QSizeF(3, 900), QSizeF(900, 2)})
            QVERIFY(renderWallpaper(canvas, size.width(), size.height(), 1));
    }

    // Painted in bands side by side, the picture is the one painted whole.
    void bandsJoinWithoutSeams() {
        WallpaperCanvas canvas;
        canvas.pen.beads = {u"cherry"_s, u"heart"_s, u"jelly-sky"_s, u"letter-L"_s};
        canvas.bgHex = u"#2B211C"_s;
        const QImage banded = *renderWallpaper(canvas, 900, 700, 1);
        QImage whole(900, 700, QImage::Format_ARGB32_Premultiplied);
        {
            QPainter painter(&whole);
            painter.setRenderHint(QPainter::Antialiasing);
            paintWallpaper(painter, QSizeF(900, 700), canvas, 1);
        }
        QCOMPARE(test::pixelsApart(whole, banded, 8), 0);
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
