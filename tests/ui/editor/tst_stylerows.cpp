#include "l10n/localization.h"
#include "support/scratchstore.h"
#include "ui/editor/chiprow.h"
#include "ui/editor/choicechip.h"
#include "ui/editor/stylerows.h"

#include <QAccessible>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <functional>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

using PenField = std::function<QString(const Pen&)>;

// The rows in a window; their delayed steps wait until the test runs them.
struct RowsWindow {
    test::ScratchStore scratch;
    QList<std::pair<std::chrono::milliseconds, std::function<void()>>> scheduled;
    StyleRows rows{scratch.store};

    explicit RowsWindow(int width = 420) {
        rows.setScheduler(
            [this](std::chrono::milliseconds delay, QObject*, std::function<void()> step) {
                scheduled.append({delay, std::move(step)});
            });
        rows.resize(width, rows.sizeHint().height());
        rows.show();
    }

    ChoiceChip* chip(const QString& name) const { return rows.findChild<ChoiceChip*>(name); }
};

QStringList values(const ChipRow* row) {
    QStringList values;
    for (const ChoiceChip* chip : row->chips())
        values.append(chip->value());
    return values;
}

} // namespace

Q_DECLARE_METATYPE(PenField)

class TestStyleRows : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void inkRowFollowsTheType_data() {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QStringList>("inks");
        QTest::newRow("pencil") << u"pencil"_s << QStringList();
        QTest::newRow("gel") << u"gel"_s << plainInks();
        QTest::newRow("highlighter") << u"highlighter"_s << neonInks();
        QTest::newRow("mechanical") << u"mechanical"_s << QStringList();
    }

    void inkRowFollowsTheType() {
        QFETCH(QString, type);
        QFETCH(QStringList, inks);
        RowsWindow w;
        // From a type with the other answer, so that the row has to change.
        w.scratch.store.setType(inks.isEmpty() ? u"brush"_s : u"ballpoint"_s);
        QCOMPARE(w.rows.inkSection()->isVisible(), inks.isEmpty());

        QTest::mouseClick(w.chip(u"types."_s + type), Qt::LeftButton);

        QCOMPARE(w.scratch.store.pen().type, type);
        QCOMPARE(w.rows.inkSection()->isVisible(), !inks.isEmpty());
        if (!inks.isEmpty())
            QCOMPARE(values(w.rows.inkRow()), inks);
    }

    void chipClicksChangeTheStore_data() {
        QTest::addColumn<QString>("chip");
        QTest::addColumn<QString>("value");
        QTest::addColumn<PenField>("field");
        QTest::newRow("type") << u"types.fountain"_s << u"fountain"_s
                              << PenField([](const Pen& p) { return p.type; });
        QTest::newRow("ink") << u"ink.#3A3A3C"_s << u"#3A3A3C"_s
                             << PenField([](const Pen& p) { return p.ink; });
        QTest::newRow("barrel") << u"barrels.black"_s << u"black"_s
                                << PenField([](const Pen& p) { return p.barrel; });
        QTest::newRow("charm") << u"charms.berry"_s << u"berry"_s
                               << PenField([](const Pen& p) { return p.charm; });
    }

    void chipClicksChangeTheStore() {
        QFETCH(QString, chip);
        QFETCH(QString, value);
        QFETCH(PenField, field);
        RowsWindow w;
        w.scratch.store.setType(u"gel"_s);
        QSignalSpy charms(&w.rows, &StyleRows::charmPicked);
        ChoiceChip* clicked = w.chip(chip);
        QVERIFY(clicked);
        QVERIFY(!clicked->isSelected());

        QTest::mouseClick(clicked, Qt::LeftButton);

        QCOMPARE(field(w.scratch.store.pen()), value);
        QVERIFY(clicked->isSelected());
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(clicked);
        QVERIFY(accessible->state().checked);
        QVERIFY(!accessible->text(QAccessible::Name).isEmpty());
        // The chip it replaced lets go.
        const auto row =
            qobject_cast<ChipRow*>(clicked->parentWidget()->parentWidget()->parentWidget());
        QVERIFY(row);
        for (ChoiceChip* other : row->chips()) {
            if (other != clicked)
                QVERIFY(!other->isSelected());
        }
        QCOMPARE(charms.size(), chip.startsWith(u"charms."_s) ? 1 : 0);
    }

    void pickingTheSameCharmStillKicks() {
        RowsWindow w;
        const Date before = w.scratch.store.updatedAt();
        QSignalSpy charms(&w.rows, &StyleRows::charmPicked);
        QTest::mouseClick(w.chip(u"charms."_s + defaultCharm), Qt::LeftButton);
        QCOMPARE(charms.size(), 1);
        QVERIFY(w.scratch.store.updatedAt() > before);
    }

    void tabReachesChipsAndSpacePresses_data() {
        QTest::addColumn<QString>("chip");
        QTest::addColumn<QString>("value");
        QTest::addColumn<PenField>("field");
        QTest::newRow("type") << u"types.brush"_s << u"brush"_s
                              << PenField([](const Pen& p) { return p.type; });
        QTest::newRow("barrel") << u"barrels.mint"_s << u"mint"_s
                                << PenField([](const Pen& p) { return p.barrel; });
        QTest::newRow("charm") << u"charms.ribbon"_s << u"ribbon"_s
                               << PenField([](const Pen& p) { return p.charm; });
    }

    void tabReachesChipsAndSpacePresses() {
        QFETCH(QString, chip);
        QFETCH(QString, value);
        QFETCH(PenField, field);
        RowsWindow w;
        w.rows.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w.rows));
        ChoiceChip* target = w.chip(chip);
        QWidget* first = w.chip(u"types.pencil"_s);
        first->setFocus(Qt::OtherFocusReason);
        for (int i = 0; i < 40 && !target->hasFocus(); ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(target->hasFocus());
        QTest::keyClick(target, Qt::Key_Space);
        QCOMPARE(field(w.scratch.store.pen()), value);
    }

    void typeRowScrollsToTheCurrentTypeOnce() {
        test::ScratchStore scratch;
        scratch.store.setType(u"mechanical"_s);
        QList<std::pair<std::chrono::milliseconds, std::function<void()>>> scheduled;
        StyleRows rows(scratch.store);
        rows.setScheduler(
            [&](std::chrono::milliseconds delay, QObject*, std::function<void()> step) {
                scheduled.append({delay, std::move(step)});
            });
        rows.resize(260, rows.sizeHint().height());
        rows.show();
        ChipRow* types = rows.typeRow();
        QWidget* current = rows.findChild<QWidget*>(u"types.mechanical"_s);
        const auto shown = [&] {
            const QRect inViewport(current->mapTo(types->viewport(), QPoint()), current->size());
            return types->viewport()->rect().contains(inViewport);
        };
        QVERIFY(!shown());
        QCOMPARE(scheduled.size(), 1);
        QCOMPARE(scheduled[0].first, std::chrono::milliseconds(350));

        scheduled[0].second();
        QVERIFY(shown());

        rows.hide();
        rows.show();
        QCOMPARE(scheduled.size(), 1);
    }
};

QTEST_MAIN(TestStyleRows)
#include "tst_stylerows.moc"
