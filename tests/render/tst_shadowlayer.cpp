#include "render/shadowlayer.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <cmath>
#include <limits>

using namespace tessaro;

namespace {

// A black square as the content.
ShadowLayer::Paint square(QRectF rect) {
    return [rect](QPainter& p) { p.fillRect(rect, Qt::black); };
}

QImage blank(int width, int height, double ratio = 1) {
    QImage image(int(width * ratio), int(height * ratio), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    return image;
}

} // namespace

class TestShadowLayer : public QObject {
    Q_OBJECT

private slots:
    void shadowIsBlurredLikeAGaussianAndTinted() {
        QImage image = blank(200, 120);
        const QRectF content(20, 40, 40, 40);
        ShadowLayer layer;
        {
            QPainter painter(&image);
            layer.draw(painter, content, square(content), Qt::red, 4, QPointF(80, 0));
        }
        // The content itself, on top.
        QCOMPARE(image.pixelColor(40, 60), QColor(Qt::black));
        // The shadow's middle carries the full tint.
        const QColor middle = image.pixelColor(120, 60);
        QVERIFY(middle.alpha() > 245);
        QVERIFY(middle.red() > 245 && middle.green() < 10 && middle.blue() < 10);
        // Its edge (x = 140) is soft: half coverage there, a sixth one
        // standard deviation out, nothing far away, never rising outwards.
        QVERIFY(std::abs(image.pixelColor(139, 60).alpha() - 128) < 25);
        QVERIFY(std::abs(image.pixelColor(144, 60).alpha() - 40) < 14);
        QCOMPARE(image.pixelColor(165, 60).alpha(), 0);
        int soft = 0;
        for (int x = 120; x < 170; ++x) {
            const int a = image.pixelColor(x, 60).alpha();
            QVERIFY(a >= image.pixelColor(x + 1, 60).alpha());
            if (a > 20 && a < 235)
                ++soft;
        }
        QVERIFY(soft >= 5);

        // The tint's own opacity scales the shadow.
        QImage faint = blank(200, 120);
        {
            QPainter painter(&faint);
            layer.draw(painter, content, square(content), QColor(0, 0, 255, 128), 4, {80, 0});
        }
        QVERIFY(std::abs(faint.pixelColor(120, 60).alpha() - 128) <= 4);
        QVERIFY(faint.pixelColor(120, 60).blue() > 245);
    }

    void zeroRadiusGivesAHardShadow() {
        QImage image = blank(200, 120);
        const QRectF content(20, 40, 40, 40);
        ShadowLayer layer;
        {
            QPainter painter(&image);
            layer.draw(painter, content, square(content), Qt::red, 0.2, {80, 0});
        }
        for (int x = 90; x < 150; ++x) {
            const int a = image.pixelColor(x, 60).alpha();
            QCOMPARE(a, x >= 100 && x < 140 ? 255 : 0);
        }
    }

    void flatBoundsStillCastAShadow() {
        // A horizontal hairline's extent has no height.
        QImage image = blank(100, 60);
        ShadowLayer layer;
        {
            QPainter painter(&image);
            layer.draw(painter, QRectF(10, 20, 40, 0),
                       [](QPainter& p) { p.drawLine(QPointF(10, 20), QPointF(50, 20)); }, Qt::black,
                       2, {0, 20});
        }
        QVERIFY(image.pixelColor(30, 40).alpha() > 0);
    }

    void wideBlursKeepTheirShape() {
        // Wide blurs run at a reduced resolution; the profile must not show it.
        QImage image = blank(500, 300);
        const QRectF content(20, 100, 100, 100);
        ShadowLayer layer;
        {
            QPainter painter(&image);
            layer.draw(painter, content, square(content), Qt::black, 20, {250, 0});
        }
        QVERIFY(std::abs(image.pixelColor(320, 150).alpha() - 255) < 12);
        QVERIFY(std::abs(image.pixelColor(370, 150).alpha() - 128) < 16);
        QVERIFY(std::abs(image.pixelColor(390, 150).alpha() - 40) < 14);
        for (int x = 320; x < 460; ++x)
            QVERIFY(image.pixelColor(x, 150).alpha() >= image.pixelColor(x + 1, 150).alpha());
    }

    void followsTheTransformAndPixelRatio() {
        // On a 2× image, all lengths are twice as long in pixels.
        QImage image = blank(100, 60, 2);
        ShadowLayer layer;
        {
            QPainter painter(&image);
            painter.translate(5, 0);
            const QRectF content(5, 20, 20, 20);
            layer.draw(painter, content, square(content), Qt::red, 2, {40, 0});
            QCOMPARE(painter.worldTransform(), QTransform::fromTranslate(5, 0));
        }
        // Shadow square: logical x 50 … 70, y 20 … 40; device 100 … 140, 40 … 80.
        QVERIFY(image.pixelColor(120, 60).alpha() > 245);
        QVERIFY(std::abs(image.pixelColor(139, 60).alpha() - 128) < 25);
        QVERIFY(std::abs(image.pixelColor(144, 60).alpha() - 40) < 14);
        QCOMPARE(image.pixelColor(30, 60), QColor(Qt::black));
    }

    void reusedBuffersLeaveNoTraces() {
        const QRectF small(30, 30, 10, 10);
        const QRectF large(10, 10, 60, 60);
        auto draw = [](ShadowLayer& layer, QRectF rect, double radius) {
            QImage image = blank(120, 120);
            QPainter painter(&image);
            layer.draw(painter, rect, square(rect), Qt::blue, radius, {20, 20});
            painter.end();
            return image;
        };
        ShadowLayer fresh;
        const QImage expected = draw(fresh, small, 3);
        ShadowLayer reused;
        draw(reused, large, 8);
        QCOMPARE(draw(reused, small, 3), expected);
        draw(reused, small, 12);
        QCOMPARE(draw(reused, small, 3), expected);
    }

    void hostileGeometryNeverCrashes_data() {
        QTest::addColumn<QTransform>("transform");
        QTest::addColumn<QRectF>("bounds");
        QTest::addColumn<double>("radius");
        QTest::addColumn<QPointF>("offset");
        const double inf = std::numeric_limits<double>::infinity();
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const QRectF unit(-10, -10, 20, 20);
        QTest::newRow("rotated") << QTransform().translate(50, 50).rotate(37) << unit << 4.0
                                 << QPointF(5, 9);

        QTest::newRow("huge bounds")
            << QTransform() << QRectF(-1e9, -1e9, 2e9, 2e9) << 10.0 << QPointF();
        QTest::newRow("huge scale") << QTransform::fromScale(1e7, 1e7) << unit << 5.0 << QPointF();

        QTest::newRow("flat") << QTransform::fromScale(1, 0) << unit << 5.0 << QPointF();
        QTest::newRow("empty bounds") << QTransform() << QRectF(10, 10, 0, 0) << 5.0 << QPointF();

        QTest::newRow("nan bounds") << QTransform() << QRectF(nan, 0, 10, 10) << 5.0 << QPointF();

        QTest::newRow("infinite bounds")
            << QTransform() << QRectF(0, 0, inf, 10) << 5.0 << QPointF();
        QTest::newRow("huge radius") << QTransform() << unit << 1e12 << QPointF();
        QTest::newRow("nan radius") << QTransform() << unit << nan << QPointF();

        QTest::newRow("far offset") << QTransform() << unit << 4.0 << QPointF(1e12, -1e12);
        QTest::newRow("nan offset") << QTransform() << unit << 4.0 << QPointF(nan, 0);
        QTest::newRow("offscreen")
            << QTransform() << QRectF(5000, 5000, 20, 20) << 4.0 << QPointF();
    }
    void hostileGeometryNeverCrashes() {
        QFETCH(QTransform, transform);
        QFETCH(QRectF, bounds);
        QFETCH(double, radius);
        QFETCH(QPointF, offset);
        QImage image = blank(100, 100);
        ShadowLayer layer;
        int painted = 0;
        QPainter painter(&image);
        painter.setTransform(transform);
        layer.draw(
            painter, bounds, [&](QPainter&) { ++painted; }, Qt::black, radius, offset);
        // The content is always drawn, at most once more offscreen.
        QVERIFY(painted >= 1 && painted <= 2);
        QCOMPARE(painter.transform(), transform);
    }
};

QTEST_MAIN(TestShadowLayer)
#include "tst_shadowlayer.moc"
