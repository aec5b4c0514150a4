#include "support/imagecompare.h"
#include "render/wallpapercanvas.h"

#include <QPainter>
#include <QTest>

#include <cmath>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

// A point on the bare barrel, in canvas points: pen-space (700, -8) through
// the wallpaper's layout.
QPoint barrelPoint(QSizeF size) {
    const double x0 = 0.06 * size.width();
    const double scale = std::max((0.97 * size.width() - x0) / 824.9848254773942, 0.001);
    const double cy = 0.58 * size.height() + scale * 669.1306063588582 * 0.5;
    const double c = std::cos(-0.733038);
    const double s = std::sin(-0.733038);
    const QPointF p(700, -8);
    return QPoint(int(x0 + scale * (p.x() * c - p.y() * s)),
                  int(cy + scale * (p.x() * s + p.y() * c)));
}

} // namespace

class TestWallpaperCanvas : public QObject {
    Q_OBJECT

private Q_SLOTS:
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

    void screenSize() {
        const QSize size = wallpaperPixelSize();
        QVERIFY(size.width() > 0 && size.height() > 0);
    }
};

QTEST_MAIN(TestWallpaperCanvas)
#include "tst_wallpapercanvas.moc"
