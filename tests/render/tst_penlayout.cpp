#include "model/pen.h"
#include "render/penlayout.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <cmath>

using namespace tessaro;

class TestPenLayout : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Widths no window should have still give a layout that can be drawn.
    void degenerateSizesKeepAPositiveScale() {
        QCOMPARE(fitStage(-50).layout.scale, 0.01);
        QCOMPARE(fitArtwork(1, 1, 0.0, true).scale, 0.001);
    }

    // A drop gap moves the beads at and after it one slot on; a full pen
    // opens none. The bead nearer the back end wins where two overlap.
    void dropGapsAndHitTesting() {
        QCOMPARE(dropGap(6, 2), std::nullopt);
        QCOMPARE(dropGap(5, 9), std::optional(5));
        QCOMPARE(dropGap(3, -4), std::optional(0));
        QCOMPARE(slotCentre(2, 3), slotCentre(2));
        QCOMPARE(slotCentre(3, 3), slotCentre(4));

        const PenLayout flat{QPointF(0, 0), 1, 0};
        QCOMPARE(slotAt(6, QPointF((slotCentre(2) + slotCentre(3)) / 2 - 5, 0), flat),
                 std::optional(3));
        QCOMPARE(slotAt(0, QPointF(slotCentre(0), 0), flat), std::nullopt);
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
};

QTEST_MAIN(TestPenLayout)
#include "tst_penlayout.moc"
