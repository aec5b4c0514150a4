#include "support/scratchstore.h"
#include "ui/editor/chiprow.h"
#include "ui/editor/choicechip.h"
#include "ui/editor/stylerows.h"

#include <QAccessible>
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

    explicit RowsWindow(int width = 420, const QString& type = {}) {
        rows.setScheduler(
            [this](std::chrono::milliseconds delay, QObject*, std::function<void()> step) {
                scheduled.append({delay, std::move(step)});
            });
        if (!type.isEmpty())
            scratch.store.setType(type);
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

    // By pointer, or by Tab and Space: the chip changes the store, shows and
    // says it is chosen, and the chip it replaced lets go.
    void chipsChangeTheStore_data() {
        QTest::addColumn<QString>("chip");
        QTest::addColumn<QString>("value");
        QTest::addColumn<PenField>("field");
        QTest::addColumn<bool>("byKeys");
        const PenField type = [](const Pen& p) { return p.type; };
        QTest::newRow("type") << u"types.fountain"_s << u"fountain"_s << type << false;
        QTest::newRow("ink") << u"ink.#3A3A3C"_s << u"#3A3A3C"_s
                             << PenField([](const Pen& p) { return p.ink; }) << false;
        QTest::newRow("type by keys") << u"types.brush"_s << u"brush"_s << type << true;
        QTest::newRow("barrel by keys") << u"barrels.mint"_s << u"mint"_s
                                        << PenField([](const Pen& p) { return p.barrel; }) << true;
        QTest::newRow("charm by keys") << u"charms.ribbon"_s << u"ribbon"_s
                                       << PenField([](const Pen& p) { return p.charm; }) << true;
    }

    void chipsChangeTheStore() {
        QFETCH(QString, chip);
        QFETCH(QString, value);
        QFETCH(PenField, field);
        QFETCH(bool, byKeys);
        RowsWindow w;
        w.scratch.store.setType(u"gel"_s);
        QSignalSpy charms(&w.rows, &StyleRows::charmPicked);
        ChoiceChip* target = w.chip(chip);
        QVERIFY(target);
        QVERIFY(!target->isSelected());

        if (byKeys) {
            w.rows.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&w.rows));
            w.chip(u"types.pencil"_s)->setFocus(Qt::OtherFocusReason);
            for (int i = 0; i < 60 && !target->hasFocus(); ++i)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QVERIFY(target->hasFocus());
            QTest::keyClick(target, Qt::Key_Space);
        } else {
            QTest::mouseClick(target, Qt::LeftButton);
        }

        QCOMPARE(field(w.scratch.store.pen()), value);
        QVERIFY(target->isSelected());
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(target);
        QVERIFY(accessible->state().checked);
        const auto row =
            qobject_cast<ChipRow*>(target->parentWidget()->parentWidget()->parentWidget());
        QVERIFY(row);
        for (ChoiceChip* other : row->chips()) {
            if (other != target)
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

    void typeRowScrollsToTheCurrentTypeOnce() {
        RowsWindow w(260, u"mechanical"_s);
        ChipRow* types = w.rows.typeRow();
        QWidget* current = w.chip(u"types.mechanical"_s);
        const auto shown = [&] {
            const QRect inViewport(current->mapTo(types->viewport(), QPoint()), current->size());
            return types->viewport()->rect().contains(inViewport);
        };
        QVERIFY(!shown());
        QCOMPARE(w.scheduled.size(), 1);

        w.scheduled[0].second();
        QVERIFY(shown());

        w.rows.hide();
        w.rows.show();
        QCOMPARE(w.scheduled.size(), 1);
    }
};

QTEST_MAIN(TestStyleRows)
#include "tst_stylerows.moc"
