#include "model/pen.h"
#include "render/bodypainter.h"
#include "render/penlayout.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <cmath>

using namespace tessaro;

namespace {

// Every point of every pen body at its thickness, and the top and bottom of
// each bead slot, in pen space.
QList<QPointF> penExtent() {
    QList<QPointF> points;
    for (const PenTypeSpec& entry : penTypeCatalog()) {
        const QPainterPath outline = bodyOutline(entry.type, entry.thick);
        for (int i = 0; i < outline.elementCount(); ++i)
            points << QPointF(outline.elementAt(i));
    }
    for (int i = 0; i < maxBeadsPerPen; ++i)
        points << QPointF(slotCentre(i), -beadR) << QPointF(slotCentre(i), beadR);
    return points;
}

} // namespace

class TestPenLayout : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Any pen of any type, with all its beads, lies on a stage of whole
    // points; pen and charm use the width up to the right margin.
    void stageHoldsEveryPen_data() {
        QTest::addColumn<double>("width");
        for (const double width : {300.0, 420.0, 559.9, 560.0, 700.0, 1024.0, 1600.0})
            QTest::addRow("%g", width) << width;
    }
    void stageHoldsEveryPen() {
        QFETCH(double, width);
        const StageFit fit = fitStage(width);
        QCOMPARE(fit.height, std::round(fit.height));
        for (const QPointF& point : penExtent()) {
            const QPointF at = fit.layout.map(point);
            QVERIFY2(at.x() >= 0 && at.x() <= width && at.y() >= 0 && at.y() <= fit.height,
                     qPrintable(QStringLiteral("(%1, %2)").arg(point.x()).arg(point.y())));
        }
        const double charmEdge = charmAnchor(fit.layout).x() + charmRoom * fit.layout.scale;
        QVERIFY(charmEdge < width && charmEdge > width - 12);
    }

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
