#include "model/catalog.h"
#include "render/beadpainter.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <algorithm>
#include <cmath>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

// A bead of radius r drawn alone in the middle of an image with room around it.
QImage render(const BeadSpec& bead, double r, QColor background = Qt::transparent,
              double pixelScale = 1, double angle = 0) {
    const int side = int(std::ceil(2.4 * r)) + 4;
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    QPainter painter(&image);
    painter.translate(side / 2.0, side / 2.0);
    drawBead(painter, bead, r, angle, pixelScale);
    return image;
}

// The pixel at bead coordinates (x, y), in units of r.
QColor probe(const QImage& image, double r, QPointF at) {
    const double middle = image.width() / 2.0;
    return image.pixelColor(int(std::floor(middle + at.x() * r)),
                            int(std::floor(middle + at.y() * r)));
}

double lightness(const QColor& c) {
    return 0.299 * c.red() + 0.587 * c.green() + 0.114 * c.blue();
}

const BeadSpec& bead(const QString& id) {
    return *beadById(id);
}

} // namespace

class TestBeadPainter : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Radii that are not positive draw nothing; odd scales and angles are tolerated.
    void everyBeadAtEverySizeDrawsAndRestoresThePainter() {
        QImage image(120, 120, QImage::Format_ARGB32_Premultiplied);
        const double nan = std::nan("");
        for (const BeadSpec& kind : beadCatalog()) {
            for (const double r : {nan, -5.0, 0.0, 1.0, 3.0, 59.0, 400.0}) {
                for (const double pixelScale : {nan, -1.0, 0.1, 1.0, 4.0}) {
                    image.fill(Qt::transparent);
                    QPainter painter(&image);
                    painter.translate(60, 60);
                    painter.setOpacity(0.8);
                    const QTransform before = painter.worldTransform();
                    drawBead(painter, kind, r, pixelScale > 0 ? -0.35 : nan, pixelScale);
                    QVERIFY2(painter.worldTransform() == before && painter.opacity() == 0.8 &&
                                 !painter.hasClipping() && painter.pen() == QPen(),
                             qPrintable(kind.id));
                    painter.end();
                    const int alpha = image.pixelColor(60, 60).alpha();
                    QVERIFY2(r > 0 ? r < 3 || alpha > 0 : alpha == 0, qPrintable(kind.id));
                }
            }
        }
    }

    // At pixelScale 0.1 the details are skipped and the highlight is flat.
    void highlightIsLighterThanTheLowerRim() {
        for (const QString& id :
             {u"cherry"_s, u"mint"_s, u"cocoa"_s, u"ivory"_s, u"sprinkle"_s, u"smile"_s,
              u"letter-O"_s, u"pearl-pink"_s, u"rhine-gold"_s, u"flower"_s}) {
            const bool flower = id == u"flower";
            for (const double pixelScale : {1.0, 0.1}) {
                const QImage image = render(bead(id), 59, Qt::white, pixelScale);
                const double lit = lightness(
                    probe(image, 59, flower ? QPointF(-0.46, -0.62) : QPointF(-0.34, -0.4)));
                const double shade =
                    lightness(probe(image, 59, flower ? QPointF(0.3, 0.8) : QPointF(0, 0.9)));
                QVERIFY2(lit > shade + 15,
                         qPrintable(u"%1: %2 vs %3"_s.arg(id).arg(lit).arg(shade)));
            }
        }
    }

    // The sprite cache leaves the angle out of a bead's key where this says
    // the picture does not turn with the pen.
    void pictureTurnsWithThePenOnlyWhereSaid() {
        for (int i = 0; i <= int(BeadShape::rhine); ++i) {
            const auto kind = std::find_if(beadCatalog().begin(), beadCatalog().end(),
                                           [i](const BeadSpec& b) { return int(b.shape) == i; });
            QVERIFY(kind != beadCatalog().end());
            const QImage upright = render(*kind, 40, Qt::white, 1, 0);
            const bool turns = upright != render(*kind, 40, Qt::white, 1, -0.6) ||
                               upright != render(*kind, 40, Qt::white, 1, -1.5);
            QVERIFY2(turns == beadFollowsPenAngle(kind->shape), qPrintable(kind->id));
        }
    }

    void jellyLetsTheBackgroundShowThrough() {
        const QPointF at(-0.2, 0.3);
        for (const QString& id : {u"jelly-sky"_s, u"jelly-lemon"_s}) {
            const double onDark = lightness(probe(render(bead(id), 40, Qt::black), 40, at));
            const double onWhite = lightness(probe(render(bead(id), 40, Qt::white), 40, at));
            QVERIFY2(onWhite - onDark > 30, qPrintable(id));
        }
        // An opaque glass bead hides what lies behind it.
        QCOMPARE(probe(render(bead(u"sky"_s), 40, Qt::black), 40, at),
                 probe(render(bead(u"sky"_s), 40, Qt::white), 40, at));
    }

    void letterBeadShowsItsLetter() {
        auto inked = [](const BeadSpec& kind) {
            const QImage image = render(kind, 40);
            int count = 0;
            for (double y = -0.3; y <= 0.3; y += 0.05)
                for (double x = -0.4; x <= 0.4; x += 0.05)
                    count += lightness(probe(image, 40, {x, y})) < 110;
            return count;
        };
        BeadSpec blank = bead(u"letter-L"_s);
        QVERIFY(inked(blank) > 10);
        blank.letter.reset();
        QCOMPARE(inked(blank), 0);
    }

    // A shaped kind's outline fits the bead, the painted body fills it, and
    // it is no plain disc (the corner of a cube and the notch of a heart
    // stay clear).
    void shapedBodiesFillTheirSilhouettes() {
        constexpr double r = 40;
        QVERIFY(beadSilhouette(BeadShape::cube, r) && beadSilhouette(BeadShape::heart, r));
        for (int i = 0; i <= int(BeadShape::rhine); ++i) {
            const BeadShape shape = BeadShape(i);
            const std::optional<QPainterPath> outline = beadSilhouette(shape, r);
            if (!outline)
                continue;
            const QRectF box = outline->boundingRect();
            QVERIFY(QRectF(-1.05 * r, -1.05 * r, 2.1 * r, 2.1 * r).contains(box));
            QVERIFY(box.width() * box.height() > r * r);
            const auto kind = std::find_if(beadCatalog().begin(), beadCatalog().end(),
                                           [&](const BeadSpec& b) { return b.shape == shape; });
            const QImage picture = render(*kind, r);
            for (double y = -r; y <= r; y += 4)
                for (double x = -r; x <= r; x += 4)
                    if (outline->contains(QRectF(x - 2, y - 2, 4, 4)))
                        QVERIFY2(probe(picture, r, QPointF(x, y) / r).alpha() == 255,
                                 qPrintable(kind->id));
        }
        QCOMPARE(probe(render(bead(u"cube"_s), r), r, {0.92, 0.92}).alpha(), 0);
        QCOMPARE(probe(render(bead(u"heart"_s), r), r, {0, -0.5}).alpha(), 0);
    }
};

QTEST_MAIN(TestBeadPainter)
#include "tst_beadpainter.moc"
