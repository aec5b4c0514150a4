#include "model/catalog.h"
#include "render/beadpainter.h"
#include "render/shadowlayer.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <cmath>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

// A bead of radius r drawn alone in the middle of an image with room around it.
QImage render(const BeadSpec& bead, double r, QColor background = Qt::transparent, double angle = 0,
              double pixelScale = 1) {
    const int side = int(std::ceil(2.4 * r)) + 4;
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    QPainter painter(&image);
    painter.translate(side / 2.0, side / 2.0);
    drawBead(painter, bead, r, angle, pixelScale, 0);
    return image;
}

// The pixel at bead coordinates (x, y), in units of r.
QColor probe(const QImage& image, double r, double x, double y) {
    const double middle = image.width() / 2.0;
    return image.pixelColor(int(std::floor(middle + x * r)), int(std::floor(middle + y * r)));
}

double lightness(const QColor& c) {
    return 0.299 * c.red() + 0.587 * c.green() + 0.114 * c.blue();
}

const BeadSpec& bead(const QString& id) {
    const BeadSpec* spec = beadById(id);
    if (!spec)
        qFatal("no bead %s in the catalog", qPrintable(id));
    return *spec;
}

bool isShaped(BeadShape shape) {
    switch (shape) {
    case BeadShape::flower:
    case BeadShape::heart:
    case BeadShape::star:
    case BeadShape::cube:
    case BeadShape::bow:
    case BeadShape::bunny:
    case BeadShape::bear:
    case BeadShape::cloud:
    case BeadShape::berry:
        return true;
    default:
        return false;
    }
}

} // namespace

class TestBeadPainter : public QObject {
    Q_OBJECT

private slots:
    void everyBeadAtEverySizeDrawsAndRestoresThePainter() {
        QImage image(120, 120, QImage::Format_ARGB32_Premultiplied);
        for (const BeadSpec& spec : beadCatalog()) {
            for (const double r : {1.0, 3.0, 12.0, 59.0, 400.0}) {
                for (const double pixelScale : {0.1, 1.0, 4.0}) {
                    image.fill(Qt::transparent);
                    QPainter painter(&image);
                    painter.translate(60, 60);
                    painter.setOpacity(0.8);
                    const QTransform before = painter.worldTransform();
                    drawBead(painter, spec, r, -0.35, pixelScale, 72);
                    QCOMPARE(painter.worldTransform(), before);
                    QCOMPARE(painter.opacity(), 0.8);
                    QVERIFY(!painter.hasClipping());
                    QCOMPARE(painter.pen(), QPen());
                    painter.end();
                    if (r >= 3)
                        QVERIFY2(image.pixelColor(60, 60).alpha() > 0, qPrintable(spec.id));
                }
            }
        }
    }

    void degenerateInputsDrawNothingOrStaySane() {
        QImage image(64, 64, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.translate(32, 32);
        drawBead(painter, bead(u"cherry"_s), 0, 0, 1, 0);
        drawBead(painter, bead(u"cherry"_s), -5, 0, 1, 0);
        drawBead(painter, bead(u"cherry"_s), std::nan(""), 0, 1, 0);
        painter.end();
        QCOMPARE(image.pixelColor(32, 32).alpha(), 0);

        image.fill(Qt::transparent);
        painter.begin(&image);
        painter.translate(32, 32);
        drawBead(painter, bead(u"heart"_s), 20, std::nan(""), std::nan(""), 0);
        drawBead(painter, bead(u"jelly-sky"_s), 20, 0, -1, 0);
        painter.end();
        QVERIFY(image.pixelColor(32, 32).alpha() > 0);
    }

    void bodyShowsTheCatalogColour_data() {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QPointF>("at"); // left of and below the centre, in units of r
        for (const BeadSpec& spec : beadCatalog())
            if (spec.group == u"glass")
                QTest::newRow(qPrintable(spec.id)) << spec.id << QPointF(-0.25, 0.45);
        QTest::newRow("sprinkle") << u"sprinkle"_s << QPointF(-0.25, 0.45);
        QTest::newRow("smile") << u"smile"_s << QPointF(-0.25, 0.45);
        QTest::newRow("heart") << u"heart"_s << QPointF(-0.25, 0.45);
        QTest::newRow("cube") << u"cube"_s << QPointF(-0.25, 0.45);
        QTest::newRow("flower") << u"flower"_s << QPointF(-0.25, 0.45);
        QTest::newRow("star") << u"star"_s << QPointF(-0.12, 0.3);
    }
    void bodyShowsTheCatalogColour() {
        QFETCH(QString, id);
        QFETCH(QPointF, at);
        const BeadSpec& spec = bead(id);
        const double r = 59;
        const QColor seen = probe(render(spec, r), r, at.x(), at.y());
        QCOMPARE(seen.alpha(), 255);
        const double tolerance = 12;
        QVERIFY2(std::fabs(seen.red() - spec.rgb.r) <= tolerance &&
                     std::fabs(seen.green() - spec.rgb.g) <= tolerance &&
                     std::fabs(seen.blue() - spec.rgb.b) <= tolerance,
                 qPrintable(u"%1 drew %2"_s.arg(id, seen.name())));
    }

    void highlightIsLighterThanTheLowerRim_data() {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QPointF>("highlight");
        QTest::addColumn<QPointF>("rim");
        const QPointF upperLeft(-0.34, -0.4);
        const QPointF bottom(0, 0.9);
        for (const QString& id : {u"cherry"_s, u"mint"_s, u"cocoa"_s, u"ivory"_s, u"sprinkle"_s,
                                  u"smile"_s, u"letter-O"_s, u"pearl-pink"_s, u"rhine-gold"_s})
            QTest::newRow(qPrintable(id)) << id << upperLeft << bottom;
        QTest::newRow("flower") << u"flower"_s << QPointF(-0.46, -0.62) << QPointF(0.3, 0.8);
    }
    void highlightIsLighterThanTheLowerRim() {
        QFETCH(QString, id);
        QFETCH(QPointF, highlight);
        QFETCH(QPointF, rim);
        for (const double pixelScale : {1.0, 0.1}) {
            const double r = 59;
            const QImage image = render(bead(id), r, Qt::white, 0, pixelScale);
            const double lit = lightness(probe(image, r, highlight.x(), highlight.y()));
            const double shade = lightness(probe(image, r, rim.x(), rim.y()));
            QVERIFY2(lit > shade + 15, qPrintable(u"%1: %2 vs %3"_s.arg(id).arg(lit).arg(shade)));
        }
    }

    void jellyLetsTheBackgroundShowThrough() {
        const double r = 40;
        for (const QString& id : {u"jelly-sky"_s, u"jelly-lemon"_s}) {
            const QImage onDark = render(bead(id), r, Qt::black);
            const QImage onWhite = render(bead(id), r, Qt::white);
            const double dark = lightness(probe(onDark, r, -0.2, 0.3));
            const double light = lightness(probe(onWhite, r, -0.2, 0.3));
            QVERIFY2(light - dark > 30, qPrintable(u"%1: %2 vs %3"_s.arg(id).arg(dark).arg(light)));
        }
        // An opaque glass bead hides what lies behind it.
        const QImage onDark = render(bead(u"sky"_s), r, Qt::black);
        const QImage onWhite = render(bead(u"sky"_s), r, Qt::white);
        QCOMPARE(probe(onDark, r, -0.2, 0.3), probe(onWhite, r, -0.2, 0.3));
    }

    void letterBeadShowsItsLetter() {
        const double r = 40;
        const QImage image = render(bead(u"letter-L"_s), r);
        // The upright stroke of the "L" runs through the left of the middle.
        int inked = 0;
        for (double y = -0.3; y <= 0.3; y += 0.05)
            for (double x = -0.4; x <= 0.4; x += 0.05)
                if (lightness(probe(image, r, x, y)) < 110)
                    ++inked;
        QVERIFY(inked > 10);

        BeadSpec blank = bead(u"letter-L"_s);
        blank.letter.reset();
        const QImage plain = render(blank, r);
        for (double y = -0.3; y <= 0.3; y += 0.05)
            for (double x = -0.4; x <= 0.4; x += 0.05)
                QVERIFY(lightness(probe(plain, r, x, y)) > 150);
    }

    void smallBeadsTakeTheCheapPath() {
        QImage image(40, 40, QImage::Format_ARGB32_Premultiplied);
        auto layersFor = [&](double r, double pixelScale) {
            const std::uint64_t before = ShadowLayer::shadowsRendered();
            for (const BeadSpec& spec : beadCatalog()) {
                image.fill(Qt::transparent);
                QPainter painter(&image);
                painter.translate(20, 20);
                drawBead(painter, spec, r, -0.35, pixelScale, 72);
            }
            return ShadowLayer::shadowsRendered() - before;
        };
        QCOMPARE(layersFor(3, 1), 0u);
        QCOMPARE(layersFor(3.9, 1), 0u);
        QVERIFY(layersFor(4, 1) > 0);
        QCOMPARE(layersFor(30, 0.1), 0u);

        // At r = 3 a round bead is its body and a flat highlight: nothing is
        // painted outside the disc, and the highlight stands out inside it.
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.translate(20, 20);
        painter.scale(8, 8);
        drawBead(painter, bead(u"cocoa"_s), 3, 0, 1, 0);
        painter.end();
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x)
                if (std::hypot(x + 0.5 - 20, y + 0.5 - 20) > 3 * 8 + 1)
                    QCOMPARE(image.pixelColor(x, y).alpha(), 0);
        QVERIFY(lightness(image.pixelColor(20 - 8, 20 - 10)) >
                lightness(image.pixelColor(20 + 4, 20 + 16)) + 40);
    }

    void silhouettesExistForShapedKindsOnly() {
        for (int i = 0; i <= int(BeadShape::rhine); ++i) {
            const auto shape = BeadShape(i);
            const std::optional<QPainterPath> outline = beadSilhouette(shape, 10);
            QCOMPARE(outline.has_value(), isShaped(shape));
            if (outline)
                QVERIFY(!outline->isEmpty());
        }
    }

    void silhouetteExtents_data() {
        QTest::addColumn<int>("shape");
        QTest::addColumn<QRectF>("bounds"); // in units of r
        QTest::addColumn<QList<QPointF>>("inside");
        QTest::addColumn<QList<QPointF>>("outside");
        QTest::newRow("flower") << int(BeadShape::flower) << QRectF()
                                << QList<QPointF>{{0, -0.97},
                                                  {0, -0.52},
                                                  {0.49, -0.16},
                                                  {-0.306 - 0.45, 0.42}}
                                << QList<QPointF>{{0, -0.99}, {0, 0}, {0.7, -0.7}};
        QTest::newRow("heart") << int(BeadShape::heart) << QRectF()
                               << QList<QPointF>{{0, 0.98}, {-0.5, -0.5}, {0.5, -0.5}}
                               << QList<QPointF>{{0, 1.0}, {0, -0.46}, {0.9, 0.6}};
        QTest::newRow("star") << int(BeadShape::star) << QRectF()
                              << QList<QPointF>{{0, -0.93}, {0, 0.06}, {-0.85, -0.22}}
                              << QList<QPointF>{{0, -0.95}, {0.5, -0.5}, {0, 0.6}};
        QTest::newRow("cube") << int(BeadShape::cube) << QRectF(-0.86, -0.86, 1.72, 1.72)
                              << QList<QPointF>{{0.85, 0}, {0, -0.85}, {0.7, 0.7}}
                              << QList<QPointF>{{0.87, 0}, {0.84, 0.84}, {-0.84, -0.84}};
        QTest::newRow("bow") << int(BeadShape::bow) << QRectF()
                             << QList<QPointF>{{-0.5, -0.16}, {0.5, -0.16}, {-0.85, -0.16}}
                             << QList<QPointF>{{0, -0.16}, {0, 0.3}, {-0.5, 0.25}};
        QTest::newRow("bunny") << int(BeadShape::bunny) << QRectF(-0.72, -0.56, 1.44, 1.44)
                               << QList<QPointF>{{0, 0.87}, {0, -0.55}}
                               << QList<QPointF>{{0, -0.57}, {0.6, -0.3}};
        QTest::newRow("bear") << int(BeadShape::bear) << QRectF(-0.78, -0.7, 1.56, 1.56)
                              << QList<QPointF>{{0, 0.85}, {-0.77, 0.08}}
                              << QList<QPointF>{{0, -0.71}, {0.79, 0.08}};
        QTest::newRow("cloud") << int(BeadShape::cloud) << QRectF(-0.84, -0.8, 1.68, 1.32)
                               << QList<QPointF>{{0, 0.5}, {-0.3, 0.2}, {0.3, 0.2}, {0, -0.78}}
                               << QList<QPointF>{{0, 0.53}, {-0.8, -0.3}, {0.8, -0.3}};
        QTest::newRow("berry") << int(BeadShape::berry) << QRectF()
                               << QList<QPointF>{{0, 0.89}, {0, -0.5}, {-0.5, 0}}
                               << QList<QPointF>{{0, 0.91}, {0, -0.6}, {0.7, 0.6}};
    }
    void silhouetteExtents() {
        QFETCH(int, shape);
        QFETCH(QRectF, bounds);
        QFETCH(QList<QPointF>, inside);
        QFETCH(QList<QPointF>, outside);
        const double r = 100;
        const QPainterPath outline = *beadSilhouette(BeadShape(shape), r);
        if (!bounds.isNull()) {
            const QRectF seen = outline.boundingRect();
            const QRectF expected(bounds.topLeft() * r, bounds.size() * r);
            QVERIFY2(std::fabs(seen.left() - expected.left()) < 0.01 &&
                         std::fabs(seen.top() - expected.top()) < 0.01 &&
                         std::fabs(seen.right() - expected.right()) < 0.01 &&
                         std::fabs(seen.bottom() - expected.bottom()) < 0.01,
                     qPrintable(u"bounds %1 %2 %3 %4"_s.arg(seen.left())
                                    .arg(seen.top())
                                    .arg(seen.right())
                                    .arg(seen.bottom())));
        }
        for (const QPointF& p : inside)
            QVERIFY2(outline.contains(p * r), qPrintable(u"in %1,%2"_s.arg(p.x()).arg(p.y())));
        for (const QPointF& p : outside)
            QVERIFY2(!outline.contains(p * r), qPrintable(u"out %1,%2"_s.arg(p.x()).arg(p.y())));
    }

    void shapedBodyFollowsItsSilhouette() {
        // A shaped bead paints inside its outline and leaves the rest clear,
        // apart from its decorations (ears, tails, leaves) above and below.
        const double r = 40;
        const QImage image = render(bead(u"cube"_s), r);
        QCOMPARE(probe(image, r, 0.95, 0).alpha(), 0);
        QCOMPARE(probe(image, r, 0.9, 0.9).alpha(), 0);
        QCOMPARE(probe(image, r, 0.8, 0).alpha(), 255);
        const QImage heart = render(bead(u"heart"_s), r);
        QCOMPARE(probe(heart, r, 0, -0.5).alpha(), 0);
        QCOMPARE(probe(heart, r, 0.45, -0.45).alpha(), 255);
    }

    void flowerCentreUsesTheBeadsCentreColour() {
        const double r = 59;
        const BeadSpec& yellow = bead(u"flower-yellow"_s);
        QVERIFY(yellow.centre.has_value());
        const QColor centre = probe(render(yellow, r), r, 0.12, 0.1);
        QVERIFY2(std::fabs(centre.red() - yellow.centre->r) < 30 &&
                     std::fabs(centre.green() - yellow.centre->g) < 30 &&
                     std::fabs(centre.blue() - yellow.centre->b) < 30,
                 qPrintable(centre.name()));
        const QColor plain = probe(render(bead(u"flower"_s), r), r, 0.12, 0.1);
        QVERIFY2(plain.red() > 200 && plain.green() > 170 && plain.blue() < 150,
                 qPrintable(plain.name()));
    }
};

QTEST_MAIN(TestBeadPainter)
#include "tst_beadpainter.moc"
