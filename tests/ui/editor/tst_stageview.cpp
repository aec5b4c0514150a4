#include "editorfixture.h"
#include "l10n/localization.h"
#include "model/catalog.h"
#include "ui/editor/stageview.h"

#include <QSignalSpy>
#include <QTest>

using namespace tessaro;
using namespace tessaro::test;
using namespace Qt::StringLiterals;

namespace {

const QStringList four{u"cherry"_s, u"mint"_s, u"sky"_s, u"lemon"_s};
const QStringList six = four + QStringList{u"peach"_s, u"coral"_s};

// The editor's widget with the stage inside a column that sits a little
// in from its edges; the stage is wider than its 700-point canvas.
struct Screen {
    EditorDevice device;
    QWidget root;
    QWidget* column;
    StageView* stage;
    QSignalSpy toasts{device.editor.get(), &PenEditor::toastRequested};

    explicit Screen(const QStringList& beads = four) {
        device.setBeads(beads);
        root.resize(820, 480);
        column = new QWidget(&root);
        column->setGeometry(20, 30, 760, 400);
        stage = new StageView(*device.editor, &root, column);
        stage->setGeometry(0, 10, 760, stage->heightForWidth(760));
        root.show();
    }

    PenEditor& editor() { return *device.editor; }
    // Where a pen-space point is drawn, in the stage's points.
    QPoint onPen(double x, double across = 0) {
        const QRect canvas = stage->canvasRect();
        return (canvas.topLeft() + fitStage(canvas.width()).layout.map({x, across})).toPoint();
    }
    QPoint bead(int index) { return onPen(slotCentre(index)); }
    // Inside the stage, far from the pen.
    QPoint offThePen() { return stage->canvasRect().topLeft() + QPoint(10, 10); }

    void press(QPoint at) { QTest::mousePress(stage, Qt::LeftButton, {}, at); }
    void moveTo(QPoint at) { QTest::mouseMove(stage, at); }
    void release(QPoint at) { QTest::mouseRelease(stage, Qt::LeftButton, {}, at); }
    void drag(QPoint from, QPoint to) {
        press(from);
        moveTo((from + to) / 2);
        moveTo(to);
        release(to);
    }
    void click(QPoint at) {
        press(at);
        release(at);
    }
};

} // namespace

class TestStageView : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // From four beads; `to` is a pen-space x where the bead is let go.
    void aBeadDraggedAlongThePenMoves_data() {
        QTest::addColumn<QStringList>("beads");
        QTest::addColumn<int>("from");
        QTest::addColumn<double>("to");
        QTest::addColumn<int>("slot");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("first onto the third")
            << four << 0 << slotCentre(2) << 2
            << QStringList{u"mint"_s, u"sky"_s, u"cherry"_s, u"lemon"_s};
        QTest::newRow("back to its place") << four << 1 << slotCentre(1) + 30 << 1 << four;
        QTest::newRow("sixth of a full pen")
            << six << 5 << slotCentre(1) << 1
            << QStringList{u"cherry"_s, u"coral"_s, u"mint"_s, u"sky"_s, u"lemon"_s, u"peach"_s};
    }

    void aBeadDraggedAlongThePenMoves() {
        QFETCH(QStringList, beads);
        QFETCH(int, from);
        QFETCH(double, to);
        QFETCH(int, slot);
        QFETCH(QStringList, after);
        Screen screen(beads);
        screen.press(screen.bead(from));
        screen.moveTo(screen.onPen(to));
        QVERIFY(screen.editor().drag());
        QCOMPARE(screen.editor().drag()->from, from);
        QCOMPARE(screen.editor().drag()->slot, std::optional(slot));

        screen.release(screen.onPen(to));
        QVERIFY(!screen.editor().drag());
        QCOMPARE(screen.device.beads(), after);
        QCOMPARE(screen.editor().kickOffset(screen.device.clock.now), 6.0);
        QVERIFY(screen.toasts.isEmpty());
    }

    void aBeadDraggedOffThePenIsRemoved_data() {
        QTest::addColumn<QPoint>("to");
        QTest::newRow("outside the stage") << QPoint(-10, -10);
        QTest::newRow("beside the pen") << QPoint(400, 5);
    }

    void aBeadDraggedOffThePenIsRemoved() {
        QFETCH(QPoint, to);
        Screen screen;
        screen.drag(screen.bead(1), to);
        QCOMPARE(screen.device.beads(), (QStringList{u"cherry"_s, u"sky"_s, u"lemon"_s}));
        QCOMPARE(screen.toasts.size(), 1);
        QCOMPARE(screen.toasts[0][0].toString(), L(u"drag.removed"_s));
        QCOMPARE(screen.editor().kickOffset(screen.device.clock.now), 5.0);
    }

    // Movements of at most six points are clicks that select the bead; a
    // longer one lifts it.
    void aSmallMoveIsAClick_data() {
        QTest::addColumn<QPoint>("move");
        QTest::addColumn<bool>("click");
        QTest::newRow("still") << QPoint(0, 0) << true;
        QTest::newRow("six points") << QPoint(6, 0) << true;
        QTest::newRow("diagonally") << QPoint(-4, 4) << true;
        QTest::newRow("seven points") << QPoint(0, 7) << false;
    }

    void aSmallMoveIsAClick() {
        QFETCH(QPoint, move);
        QFETCH(bool, click);
        Screen screen;
        QSignalSpy changes(screen.device.editor.get(), &PenEditor::changed);
        for (const std::optional<int> selected : {std::optional(1), std::optional<int>()}) {
            screen.drag(screen.bead(1), screen.bead(1) + move);
            QCOMPARE(screen.editor().selected(), click ? selected : std::nullopt);
            QCOMPARE(screen.device.beads(), four);
        }
        const bool lifted = std::any_of(changes.begin(), changes.end(), [](const auto& change) {
            return change.at(0).template value<PenEditor::Changes>().testFlag(
                PenEditor::Change::drag);
        });
        QCOMPARE(lifted, !click);
    }

    void withReducedMotionTheCharmNeverSwings() {
        Screen screen;
        screen.device.motion.reduce = true;
        screen.click(screen.offThePen());
        screen.drag(screen.bead(0), screen.bead(2));
        screen.editor().charmPicked();
        screen.editor().trayTapped(u"mint"_s);
        QVERIFY(!screen.editor().kicking());
        QVERIFY(!screen.stage->isAnimating());
        QVERIFY(screen.device.clock.steps.empty());
    }
};

QTEST_MAIN(TestStageView)
#include "tst_stageview.moc"
