#include "render/penlayout.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <cmath>
#include <numbers>

using namespace tessaro;
using namespace Qt::StringLiterals;

class TestPenLayout : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void stageAngleAndScale() {
        const StageFit wide = fitStage(560);
        QCOMPARE(wide.layout.angle, -0.3490658503988659);
        const StageFit narrow = fitStage(559.9);
        QCOMPARE(narrow.layout.angle, -0.6283185307179586);
        QCOMPARE(fitStage(10).layout.scale, 0.01);
        QCOMPARE(fitStage(-50).layout.scale, 0.01);

        // 700 points: scale and height from the fitting rule.
        const StageFit fit = fitStage(700);
        const double c = std::cos(-std::numbers::pi / 9);
        const double s = std::sin(-std::numbers::pi / 9);
        const double scale = 678 / (1000 * c + 81.84);
        QCOMPARE(fit.layout.scale, scale);
        const double top =
            std::max(0.62 * 80 * scale - 1000 * s * scale, 59 * scale - 890 * s * scale);
        const double below = 0.6 * 80 * scale + 18;
        QCOMPARE(fit.height, std::round(below + top + 10));
        QCOMPARE(fit.layout.origin, QPointF(12, fit.height - below));
    }

    void stageHeightRoundsHalvesUp() {
        // Find a width whose raw height ends in .5 and check it rounds up.
        for (double width = 300; width < 900; width += 0.01) {
            const double angle = width < 560 ? -std::numbers::pi / 5 : -std::numbers::pi / 9;
            const double scale = (width - 22) / (1000 * std::cos(angle) + 81.84);
            const double top = std::max(49.6 * scale - 1000 * std::sin(angle) * scale,
                                        59 * scale - 890 * std::sin(angle) * scale);
            const double raw = 48 * scale + 18 + top + 10;
            if (std::fabs(raw - std::floor(raw) - 0.5) < 1e-9) {
                QCOMPARE(fitStage(width).height, std::floor(raw) + 1);
                return;
            }
        }
        QCOMPARE(std::round(212.5), 213.0);
    }

    void artworkAndThumbnail() {
        const PenLayout art = fitArtwork(400, 300, 0.0, false);
        QCOMPARE(art.scale, 392.0 / 1030);
        QCOMPARE(art.origin, QPointF(4, 150));
        const PenLayout withCharm = fitArtwork(400, 300, std::nullopt, true);
        QCOMPARE(withCharm.angle, -std::numbers::pi / 5);
        QCOMPARE(charmAnchor(withCharm), withCharm.map(QPointF(1000, 0)));
        QCOMPARE(fitArtwork(1, 1, 0.0, true).scale, 0.001);

        const PenLayout thumb = thumbLayout(64, 20);
        QCOMPARE(thumb.scale, 0.0625);
        QCOMPARE(thumb.origin, QPointF(0.75, 10));
        QCOMPARE(thumb.angle, 0.0);
    }

    void dropGaps() {
        QCOMPARE(dropGap(6, 2), std::nullopt);
        QCOMPARE(dropGap(5, 9), std::optional(5));
        QCOMPARE(dropGap(3, -4), std::optional(0));
        QCOMPARE(slotCentre(0, 0), 418.0);
        QCOMPARE(slotCentre(2, 3), 536.0);
        QCOMPARE(slotCentre(3, 3), 772.0);
        QCOMPARE(slotCentre(5), 890.0);
    }

    void hitTesting() {
        const PenLayout flat{QPointF(0, 0), 1, 0};
        QCOMPARE(slotAt(1, QPointF(300 + 73.16, 0), flat), std::optional(0));
        QCOMPARE(slotAt(1, QPointF(300 + 73.17, 0), flat), std::nullopt);
        // The overlap of slots 2 and 3 belongs to the bead nearer the back end.
        QCOMPARE(slotAt(6, QPointF(595, 0), flat), std::optional(3));
        QCOMPARE(slotAt(0, QPointF(300, 0), flat), std::nullopt);

        // Through a tilted, scaled layout, the mapped slot centre picks its bead.
        const PenLayout stage = fitStage(700).layout;
        for (int i = 0; i < 6; ++i)
            QCOMPARE(slotAt(6, stage.map(QPointF(slotCentre(i), 0)), stage), std::optional(i));
        QCOMPARE(slotAt(6, stage.map(QPointF(slotCentre(2), 80)), stage), std::nullopt);
    }

    void mapMatchesThePainterTransform() {
        const PenLayout layout = fitArtwork(500, 300, std::nullopt, true);
        QImage image(10, 10, QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&image);
        layout.apply(painter);
        for (const QPointF p : {QPointF(0, 0), QPointF(1000, 0), QPointF(300, -59)}) {
            const QPointF viaPainter = painter.transform().map(p);
            const QPointF viaLayout = layout.map(p);
            QVERIFY(std::hypot(viaPainter.x() - viaLayout.x(), viaPainter.y() - viaLayout.y()) <
                    1e-9);
        }
    }

    void spansAndPixelScale() {
        QCOMPARE(barrelSpan(PenType::ballpoint), std::pair(150.0, 984.0));
        QCOMPARE(pixelScale(0.0625, 2), 0.125);
        QCOMPARE(pixelScale(1, 0), 2.0);
    }
};

QTEST_MAIN(TestPenLayout)
#include "tst_penlayout.moc"
