#include "model/catalog.h"
#include "render/charmpainter.h"

#include <QImage>
#include <QPainter>
#include <QTest>

using namespace tessaro;

namespace {

// The charm of a layout scale of 0.5 (size 66) hangs with its centre here.
constexpr QPointF anchor(100, 20);
constexpr double size = 66;
const QPointF centre = anchor + QPointF(0, 3 + 1.02 * size);

QImage charm(const QString& kind, double swing = 0, bool dark = false, bool skipShadow = false,
             double scale = 0.5) {
    QImage image(200, 200, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    drawCharm(painter, anchor, scale, swing, kind, penPalette(dark), 1, skipShadow);
    return image;
}

QColor at(const QImage& image, double x, double y) {
    return image.pixelColor((centre + QPointF(x, y) * size).toPoint());
}

double centreOfInkX(const QImage& image) {
    double sum = 0, weight = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const double ink = 255 - qGray(image.pixel(x, y));
            sum += ink * x;
            weight += ink;
        }
    return sum / weight;
}

} // namespace

class TestCharmPainter : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyKindAtEverySize() {
        QStringList kinds = charmKinds();
        kinds << QString() << QStringLiteral("dragon");
        for (const QString& kind : kinds)
            for (const double scale : {1e-4, 0.02, 0.5, 4.0}) {
                QImage image = charm(kind, 12, false, false, scale);
                QPainter painter(&image);
                const QTransform before = painter.worldTransform();
                drawCharm(painter, anchor, scale, -12, kind, penPalette(true), 2, false);
                paintCharmIcon(painter, QSizeF(scale * 100, scale * 100), kind, true, 2);
                QCOMPARE(painter.worldTransform(), before);
            }
    }

    void unknownKindsAreTheBunny() {
        QCOMPARE(charm(QStringLiteral("dragon")), charm(QStringLiteral("bunny")));
        QCOMPARE(charm(QString()), charm(QStringLiteral("bunny")));
    }

    void shadowFallsBelowRight() {
        const QImage shaded = charm(QStringLiteral("bear"));
        QVERIFY(at(shaded, -0.1, -0.5).red() >= 250);
        const QColor below = at(shaded, 0.15, 0.5);
        QVERIFY(below.red() < 240 && below.red() - below.blue() > 3);
        QCOMPARE(at(charm(QStringLiteral("bear"), 0, false, true), 0.15, 0.5), QColor(Qt::white));
        const QColor dark = at(charm(QStringLiteral("bear"), 0, true), 0.15, 0.5);
        QVERIFY(dark.red() < 240 && qAbs(dark.red() - dark.blue()) <= 2);
    }

    void swingMovesTheFigureSideways() {
        const double still = centreOfInkX(charm(QStringLiteral("cloud")));
        QVERIFY(centreOfInkX(charm(QStringLiteral("cloud"), -20)) > still + 10);
        QVERIFY(centreOfInkX(charm(QStringLiteral("cloud"), 20)) < still - 10);
    }
};

QTEST_MAIN(TestCharmPainter)
#include "tst_charmpainter.moc"
