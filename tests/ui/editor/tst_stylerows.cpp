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

// The rows in a window.
struct RowsWindow {
    test::ScratchStore scratch;
    StyleRows rows{scratch.store};

    RowsWindow() {
        rows.resize(420, rows.sizeHint().height());
        rows.show();
    }

    ChoiceChip* chip(const QString& name) const { return rows.findChild<ChoiceChip*>(name); }
};

} // namespace

Q_DECLARE_METATYPE(PenField)

class TestStyleRows : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // By pointer, or by Tab and Space: the chip changes the store, shows and
    // says it is chosen, and the chip it replaced lets go.
    void chipsChangeTheStore_data() {
        QTest::addColumn<QString>("chip");
        QTest::addColumn<QString>("value");
        QTest::addColumn<PenField>("field");
        QTest::addColumn<bool>("byKeys");
        const PenField type = [](const Pen& p) { return p.type; };
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
};

QTEST_MAIN(TestStyleRows)
#include "tst_stylerows.moc"
