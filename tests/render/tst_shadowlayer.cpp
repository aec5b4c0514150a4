#include "render/shadowlayer.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <limits>

using namespace tessaro;

namespace {

QImage blank(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// A black square `content` and its blue shadow, drawn into a fresh image.
QImage drawn(ShadowLayer& layer, QRectF content, double radius) {
    QImage image = blank(120, 120);
    QPainter painter(&image);
    layer.draw(painter, content, [&](QPainter& p) { p.fillRect(content, Qt::black); }, Qt::blue,
               radius, {20, 20});
    return image;
}

} // namespace

class TestShadowLayer : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void reusedBuffersLeaveNoTraces() {
        const QRectF small(30, 30, 10, 10);
        ShadowLayer fresh;
        const QImage expected = drawn(fresh, small, 3);
        ShadowLayer reused;
        drawn(reused, QRectF(10, 10, 60, 60), 8);
        QCOMPARE(drawn(reused, small, 3), expected);
        drawn(reused, small, 12);
        QCOMPARE(drawn(reused, small, 3), expected);
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
