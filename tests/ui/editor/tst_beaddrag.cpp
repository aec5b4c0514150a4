#include "ui/editor/beaddrag.h"

#include <QTest>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

// Pen space as it is, so that the edges can be hit exactly: along is x,
// across is y.
const PenLayout flat{QPointF(0, 0), 1, 0};
const QRectF flatFrame(-100, -200, 1200, 400);

} // namespace

class TestBeadDrag : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void dropSlot_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<QRectF>("frame");
        QTest::addColumn<PenLayout>("layout");
        QTest::addColumn<QPointF>("point");
        QTest::addColumn<std::optional<int>>("slot");
        const std::optional<int> none;

        QTest::newRow("back end appends")
            << 3 << flatFrame << flat << QPointF(1008, 0) << std::optional(3);
        QTest::newRow("past the back end") << 3 << flatFrame << flat << QPointF(1008.1, 0) << none;
        QTest::newRow("first bead's inner edge")
            << 3 << flatFrame << flat << QPointF(241, 0) << std::optional(0);
        QTest::newRow("before the first bead")
            << 3 << flatFrame << flat << QPointF(240.9, 0) << none;
        QTest::newRow("across the reach") << 3 << flatFrame << flat << QPointF(600, 106.2) << none;
        // Without the shift towards the tip this point would drop before the first bead.
        QTest::newRow("boundary moved towards the tip")
            << 3 << flatFrame << flat << QPointF(354, 0) << std::optional(1);
        QTest::newRow("just before the boundary")
            << 3 << flatFrame << flat << QPointF(353, 0) << std::optional(0);
        QTest::newRow("empty pen") << 0 << flatFrame << flat << QPointF(900, 0) << std::optional(0);
        QTest::newRow("full pen") << 6 << flatFrame << flat << QPointF(536, 0) << none;
        QTest::newRow("outside the frame")
            << 3 << QRectF(400, -200, 800, 400) << flat << QPointF(359, 0) << none;
        QTest::newRow("no frame") << 3 << QRectF() << flat << QPointF(0, 0) << none;

        // The stage as the editor lays it out, tilted and moved to its frame.
        const QRectF stage(30, 40, 700, fitStage(700).height);
        const PenLayout tilted = stageLayout(stage);
        QTest::newRow("tilted: on bead 2")
            << 5 << stage << tilted << tilted.map({536, 0}) << std::optional(2);
        QTest::newRow("tilted: off the pen")
            << 5 << stage << tilted << tilted.map({600, -110}) << none;
    }

    void dropSlot() {
        QFETCH(int, count);
        QFETCH(QRectF, frame);
        QFETCH(PenLayout, layout);
        QFETCH(QPointF, point);
        QFETCH(std::optional<int>, slot);
        QCOMPARE(tessaro::dropSlot(count, frame, layout, point), slot);
    }
};

QTEST_APPLESS_MAIN(TestBeadDrag)
#include "tst_beaddrag.moc"
