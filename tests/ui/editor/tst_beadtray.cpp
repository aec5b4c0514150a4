#include "l10n/localization.h"
#include "support/scratchstore.h"
#include "ui/editor/beadgrid.h"
#include "ui/editor/beadtray.h"
#include "ui/editor/chiprow.h"
#include "ui/editor/choicechip.h"

#include <QAccessible>
#include <QSignalSpy>
#include <QTest>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

// The tray inside a window, away from its corner, so that window and tray
// coordinates differ.
struct TrayWindow {
    test::ScratchStore scratch;
    QWidget window;
    BeadBoxView* tray = new BeadBoxView(scratch.store, &window);

    TrayWindow() {
        tray->setGeometry(20, 30, 380, tray->heightForWidth(380));
        window.resize(420, tray->height() + 60);
        window.show();
    }

    BeadGrid* grid() const { return tray->grid(); }
    QPoint cellCentre(int index) const { return grid()->cellRect(index).center().toPoint(); }
    QPointF inWindow(QPoint gridPoint) const { return QPointF(grid()->mapTo(&window, gridPoint)); }
};

QStringList ids(const QList<BeadSpec>& beads) {
    QStringList ids;
    for (const BeadSpec& bead : beads)
        ids.append(bead.id);
    return ids;
}

} // namespace

class TestBeadTray : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void groupTabChangesOnlyTheGrid() {
        TrayWindow w;
        w.scratch.store.setActiveGroup(u"letter"_s);
        w.scratch.store.addBead(u"cherry"_s);
        const Pen pen = w.scratch.store.pen();
        QSignalSpy taps(w.tray, &BeadBoxView::beadTapped);
        for (const QString& group : {u"pearl"_s, u"hangul"_s}) {
            QTest::mouseClick(w.tray->groupTabs()->chip(group), Qt::LeftButton);
            QCOMPARE(w.scratch.store.activeGroup(), group);
            QCOMPARE(w.scratch.store.pen(), pen);
            QCOMPARE(taps.size(), 0);
            QCOMPARE(ids(w.grid()->beads()), ids(beadsInGroup(group)));
            for (ChoiceChip* chip : w.tray->groupTabs()->chips())
                QCOMPARE(chip->isSelected(), chip->value() == group);
            // Each cell is a button named after its bead.
            QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(w.grid());
            QCOMPARE(grid->childCount(), beadsInGroup(group).size());
            const BeadSpec last = beadsInGroup(group).last();
            QAccessibleInterface* cell = grid->child(grid->childCount() - 1);
            QCOMPARE(cell->role(), QAccessible::Button);
            QCOMPARE(cell->text(QAccessible::Name), L(u"beads."_s + last.id));
        }
    }

    void pressAndReleaseReport_data() {
        QTest::addColumn<QPoint>("moved");
        QTest::addColumn<bool>("drags");
        QTest::newRow("6 points across") << QPoint(6, 0) << false;
        QTest::newRow("4 by 4 points") << QPoint(4, 4) << false;
        QTest::newRow("4 by 5 points") << QPoint(4, 5) << true;
        QTest::newRow("out of the tray") << QPoint(-60, -260) << true;
    }

    void pressAndReleaseReport() {
        QFETCH(QPoint, moved);
        QFETCH(bool, drags);
        TrayWindow w;
        // A full pen dims the tray; its cells still answer.
        w.tray->setDimmed(true);
        QSignalSpy taps(w.tray, &BeadBoxView::beadTapped);
        QSignalSpy drag(w.tray, &BeadBoxView::beadDragged);
        const QString bead = beadsInGroup(defaultGroup).at(2).id;
        const QPoint start = w.cellCentre(2);

        QTest::mousePress(w.grid(), Qt::LeftButton, {}, start);
        // Halfway first, then the rest: a drag reports every move.
        QTest::mouseMove(w.grid(), start + moved / 2);
        QTest::mouseMove(w.grid(), start + moved);
        QTest::mouseRelease(w.grid(), Qt::LeftButton, {}, start + moved);

        if (!drags) {
            QCOMPARE(taps.size(), 1);
            QCOMPARE(taps[0][0].toString(), bead);
            QCOMPARE(drag.size(), 0);
            return;
        }
        QCOMPARE(taps.size(), 0);
        QVERIFY(drag.size() >= 2);
        for (const QList<QVariant>& report : std::as_const(drag)) {
            QCOMPARE(report[0].toString(), bead);
            QVERIFY(report[1].value<TrayDragPhase>() != TrayDragPhase::began);
        }
        QCOMPARE(drag.last()[1].value<TrayDragPhase>(), TrayDragPhase::ended);
        QCOMPARE(drag.last()[2].toPointF(), w.inWindow(start + moved));
    }

    void keysMoveAndTap_data() {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<int>("tapped");
        QTest::newRow("right, enter") << QList<int>{Qt::Key_Right, Qt::Key_Return} << 1;
        QTest::newRow("down a row") << QList<int>{Qt::Key_Down, Qt::Key_Space} << -1;
        QTest::newRow("end, left") << QList<int>{Qt::Key_End, Qt::Key_Left, Qt::Key_Space} << -2;
        QTest::newRow("not before the first") << QList<int>{Qt::Key_Left, Qt::Key_Space} << 0;
    }

    void keysMoveAndTap() {
        QFETCH(QList<int>, keys);
        QFETCH(int, tapped);
        TrayWindow w;
        const QList<BeadSpec> beads = beadsInGroup(defaultGroup);
        const int columns = BeadGridLayout::forWidth(w.grid()->width()).columns;
        // Negative rows count from the end; -1 is "one row down".
        const int index = tapped == -1 ? columns : tapped < 0 ? int(beads.size()) + tapped : tapped;
        QSignalSpy taps(w.tray, &BeadBoxView::beadTapped);
        w.grid()->setFocus(Qt::TabFocusReason);
        for (const int key : keys)
            QTest::keyClick(w.grid(), Qt::Key(key));
        QCOMPARE(taps.size(), 1);
        QCOMPARE(taps[0][0].toString(), beads.at(index).id);
    }
};

QTEST_MAIN(TestBeadTray)
#include "tst_beadtray.moc"
