#include "render/shadowlayer.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <cmath>
#include <limits>

using namespace tessaro;

namespace {

QImage blank(int width, int height, double ratio = 1) {
    QImage image(int(width * ratio), int(height * ratio), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    return image;
}

// Draws a black square `content` with its shadow into a fresh image, the
// painter shifted by `translate`.
QImage drawn(ShadowLayer& layer, QSize size, QRectF content, const QColor& colour, double radius,
             QPointF offset, double ratio = 1, QPointF translate = {}) {
    QImage image = blank(size.width(), size.height(), ratio);
    QPainter painter(&image);
    painter.translate(translate);
    layer.draw(
        painter, content, [&](QPainter& p) { p.fillRect(content, Qt::black); }, colour, radius,
        offset);
    return image;
}

} // namespace

class TestShadowLayer : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The same picture at several device scales: a 40 px square shadowed 80 px
    // to the right, blurred by 4 px, all times `scale`.
    void edgeProfile_data() {
        QTest::addColumn<double>("ratio");
        QTest::addColumn<double>("scale");
        QTest::addColumn<bool>("blurred");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("soft") << 1.0 << 1.0 << true << QColor(Qt::red);
        QTest::newRow("half opaque tint") << 1.0 << 1.0 << true << QColor(0, 0, 255, 128);
        // Wide blurs run at a reduced resolution; the profile must not show it.
        QTest::newRow("wide") << 1.0 << 5.0 << true << QColor(Qt::red);
        QTest::newRow("pixel ratio 2") << 2.0 << 1.0 << true << QColor(Qt::red);
        QTest::newRow("hard") << 1.0 << 1.0 << false << QColor(Qt::red);
    }
    void edgeProfile() {
        QFETCH(double, ratio);
        QFETCH(double, scale);
        QFETCH(bool, blurred);
        QFETCH(QColor, colour);
        const double unit = scale / ratio; // painter units per reference pixel
        ShadowLayer layer;
        const QImage image = drawn(layer, QSize(240 * unit, 120 * unit),
                                   QRectF(10 * unit, 40 * unit, 40 * unit, 40 * unit), colour,
                                   blurred ? 4 * unit : 0.2, {80 * unit, 0}, ratio, {10 * unit, 0});
        const int row = int(60 * scale);
        auto alpha = [&](double x) {
            return image.pixelColor(int(x * scale), row).alpha() / colour.alphaF();
        };
        QCOMPARE(image.pixelColor(int(40 * scale), row), QColor(Qt::black));
        QCOMPARE(image.pixelColor(int(120 * scale), row).rgb(), colour.rgb());
        QVERIFY2(std::abs(alpha(120) - 255) < 10, QByteArray::number(alpha(120)).constData());
        if (!blurred) {
            for (const double x : {99, 100, 139, 140})
                QCOMPARE(alpha(x), x >= 100 && x < 140 ? 255.0 : 0.0);
            return;
        }
        // Half coverage at the edge (x 140), a sixth one standard deviation out,
        // nothing far away, never rising outwards and never in steps steeper
        // than the Gaussian's own (a blur run at a lower resolution must be
        // scaled back up smoothly).
        const double edge = alpha(140 - 1 / scale);
        QVERIFY2(std::abs(edge - 128) < 25, QByteArray::number(edge).constData());
        QVERIFY2(std::abs(alpha(144) - 40) < 14, QByteArray::number(alpha(144)).constData());
        QVERIFY(alpha(165) <= 2);
        const double steepest = 1.5 * 255 / (std::sqrt(2 * M_PI) * 4 * scale) + 2;
        for (int x = int(120 * scale); x < int(165 * scale); ++x) {
            const int drop =
                image.pixelColor(x, row).alpha() - image.pixelColor(x + 1, row).alpha();
            QVERIFY(drop >= 0 && drop <= steepest * colour.alphaF());
        }
    }

    void flatBoundsStillCastAShadow() {
        // A horizontal hairline's extent has no height.
        QImage image = blank(100, 60);
        ShadowLayer layer;
        QPainter painter(&image);
        layer.draw(painter, QRectF(10, 20, 40, 0),
                   [](QPainter& p) { p.drawLine(QPointF(10, 20), QPointF(50, 20)); }, Qt::black, 2,
                   {0, 20});
        painter.end();
        QVERIFY(image.pixelColor(30, 40).alpha() > 0);
    }

    void reusedBuffersLeaveNoTraces() {
        const QRectF small(30, 30, 10, 10);
        auto draw = [&](ShadowLayer& layer, QRectF rect, double radius) {
            return drawn(layer, {120, 120}, rect, Qt::blue, radius, {20, 20});
        };
        ShadowLayer fresh;
        const QImage expected = draw(fresh, small, 3);
        ShadowLayer reused;
        draw(reused, QRectF(10, 10, 60, 60), 8);
        QCOMPARE(draw(reused, small, 3), expected);
        draw(reused, small, 12);
        QCOMPARE(draw(reused, small, 3), expected);
    }

    void hostileGeometryNeverCrashes_data() {
        QTest::addColumn<QTransform>("transform");
        QTest::addColumn<QRectF>("bounds");
        QTest::addColumn<double>("radius");
        QTest::addColumn<QPointF>("offset");
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const QRectF unit(-10, -10, 20, 20);
        const QTransform none;
        QTest::newRow("rotated") << QTransform().translate(50, 50).rotate(37) << unit << 4.0
                                 << QPointF(5, 9);
        QTest::newRow("huge bounds") << none << QRectF(-1e9, -1e9, 2e9, 2e9) << 10.0 << QPointF();
        QTest::newRow("huge scale") << QTransform::fromScale(1e7, 1e7) << unit << 5.0 << QPointF();
        QTest::newRow("flat") << QTransform::fromScale(1, 0) << unit << 5.0 << QPointF();
        QTest::newRow("empty bounds") << none << QRectF(10, 10, 0, 0) << 5.0 << QPointF();
        QTest::newRow("infinite bounds")
            << none << QRectF(0, 0, std::numeric_limits<double>::infinity(), 10) << 5.0
            << QPointF();
        QTest::newRow("huge radius") << none << unit << 1e12 << QPointF();
        QTest::newRow("nan radius") << none << unit << nan << QPointF();
        QTest::newRow("far offset") << none << unit << 4.0 << QPointF(1e12, -1e12);
        QTest::newRow("nan offset") << none << unit << 4.0 << QPointF(nan, 0);
        QTest::newRow("offscreen") << none << QRectF(5000, 5000, 20, 20) << 4.0 << QPointF();
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
