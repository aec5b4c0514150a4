#include "l10n/localization.h"
#include "support/scratchstore.h"
#include "ui/case/caserow.h"
#include "ui/case/casesheet.h"

#include <QSignalSpy>
#include <QTest>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

// A case of `count` pens, the newest (the first row) holding one bead, the
// next two, and so on, shown in a sheet.
struct CaseWindow {
    test::ScratchStore scratch;
    std::unique_ptr<CaseSheet> sheet;

    explicit CaseWindow(int count) {
        const QList<BeadSpec> beads = beadsInGroup(defaultGroup);
        for (int pen = count; pen >= 1; --pen) {
            for (int i = 0; i < pen; ++i)
                scratch.store.addBead(beads[i].id);
            scratch.store.saveToCase();
        }
        sheet = std::make_unique<CaseSheet>(scratch.store);
        sheet->resize(420, 480);
        sheet->show();
    }

    CaseRow* row(int index) const { return sheet->rows().value(index); }
    void pressDelete(int index) const {
        CaseRow* shown = row(index);
        QVERIFY2(shown, "no such row");
        QTest::mouseClick(shown->deleteButton(), Qt::LeftButton);
    }
    QString label(int index) const { return row(index)->card()->text(); }
    qsizetype beadsOfSaved(int index) const { return scratch.store.saved()[index].beads.size(); }
};

QString expectedLabel(const Pen& pen, int number) {
    return fillPlaceholders(L(u"case.pen"_s), {{u"n"_s, QString::number(number)},
                                               {u"date"_s, localizedDate(pen.savedAt)}});
}

} // namespace

class TestCaseSheet : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void deleteAsksForASecondPress_data() {
        QTest::addColumn<QList<int>>("presses");
        QTest::addColumn<std::optional<qsizetype>>("armed");
        QTest::addColumn<QList<qsizetype>>("left"); // the saved pens by their bead counts
        const std::optional<qsizetype> none;
        QTest::newRow("first press arms")
            << QList<int>{0} << std::optional<qsizetype>(0) << QList<qsizetype>{1, 2, 3};
        QTest::newRow("second press deletes") << QList<int>{0, 0} << none << QList<qsizetype>{2, 3};
        QTest::newRow("another row takes the arm")
            << QList<int>{0, 1} << std::optional<qsizetype>(1) << QList<qsizetype>{1, 2, 3};
        QTest::newRow("after a deletion a press arms again")
            << QList<int>{1, 1, 1} << std::optional<qsizetype>(1) << QList<qsizetype>{1, 3};
        QTest::newRow("every pen") << QList<int>{0, 0, 0, 0, 0, 0} << none << QList<qsizetype>{};
    }

    void deleteAsksForASecondPress() {
        QFETCH(QList<int>, presses);
        QFETCH(std::optional<qsizetype>, armed);
        QFETCH(QList<qsizetype>, left);
        CaseWindow w(3);
        for (const int row : presses)
            w.pressDelete(row);
        QCOMPARE(w.sheet->armedDelete(), armed);
        QList<qsizetype> beads;
        for (int i = 0; i < w.scratch.store.saved().size(); ++i)
            beads.append(w.beadsOfSaved(i));
        QCOMPARE(beads, left);
        QTRY_COMPARE(w.sheet->rows().size(), left.size());
        QCOMPARE(w.sheet->showsEmptyState(), left.isEmpty());
        for (int i = 0; i < left.size(); ++i) {
            QCOMPARE(w.row(i)->deleteButton()->isArmed(), armed == i);
            // Numbers close up behind a deleted pen.
            QCOMPARE(w.label(i), expectedLabel(w.scratch.store.saved()[i], int(left.size()) - i));
        }
    }

    // A new presentation starts unarmed; an armed row follows its pen.
    void armedRowFollowsItsPen() {
        CaseWindow w(3);
        w.pressDelete(0);
        w.sheet->hide();
        w.sheet->show();
        QCOMPARE(w.sheet->armedDelete(), std::nullopt);
        QVERIFY(!w.row(0)->deleteButton()->isArmed());
        w.pressDelete(1);
        // Another device saves a pen: the armed pen is now the third row.
        w.scratch.store.addBead(u"mint"_s);
        w.scratch.store.saveToCase();
        QCOMPARE(w.sheet->armedDelete(), std::optional<qsizetype>(2));
        QVERIFY(w.row(2)->deleteButton()->isArmed());
        QVERIFY(!w.row(1)->deleteButton()->isArmed());
        // ... and deletes it: nothing is left armed.
        w.scratch.store.deleteFromCase(2);
        QCOMPARE(w.sheet->armedDelete(), std::nullopt);
        for (CaseRow* row : w.sheet->rows())
            QVERIFY(!row->deleteButton()->isArmed());
    }

    // Where the pen being edited goes is the store's (see tst_penstore).
    void openingAPenDismissesAndMakesItCurrent() {
        CaseWindow w(2);
        w.scratch.store.addBead(u"sky"_s);
        Pen opened = w.scratch.store.saved()[1];
        QSignalSpy dismissed(w.sheet.get(), &CaseSheet::dismissRequested);
        QTest::mouseClick(w.row(1)->card(), Qt::LeftButton);
        QCOMPARE(dismissed.size(), 1);
        opened.savedAt.reset();
        QCOMPARE(w.scratch.store.pen(), opened);
    }
};

QTEST_MAIN(TestCaseSheet)
#include "tst_casesheet.moc"
