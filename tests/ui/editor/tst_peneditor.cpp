#include "editorfixture.h"
#include "l10n/localization.h"
#include "ui/editor/peneditor.h"

#include <QSignalSpy>
#include <QTest>

using namespace tessaro;
using namespace tessaro::test;
using namespace Qt::StringLiterals;

namespace {

using Action = std::function<void(PenEditor&)>;

const QStringList three{u"cherry"_s, u"mint"_s, u"sky"_s};
const QStringList six = three + QStringList{u"lemon"_s, u"peach"_s, u"coral"_s};
const QString fullText = u"The pen is full (6 beads)"_s;

// Where bead `index` sits, in the editor's coordinates.
QPointF bead(const PenEditor& editor, int index) {
    return editor.stageLayout().map({slotCentre(index), 0});
}

void click(PenEditor& editor, QPointF point) {
    editor.penPressed(point);
    editor.penReleased(point);
}

Action act(void (PenEditor::*edit)()) {
    return [edit](PenEditor& editor) { (editor.*edit)(); };
}

} // namespace

Q_DECLARE_METATYPE(Action)

class TestPenEditor : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Each edit from a pen with one bead selected (or none, -1): what it leaves on the
    // pen, the selection after it, the kick it starts (0 for none) and the
    // toast it asks for.
    void edits_data() {
        QTest::addColumn<QStringList>("beads");
        QTest::addColumn<int>("selected");
        QTest::addColumn<Action>("action");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<std::optional<int>>("selection");
        QTest::addColumn<double>("kick");
        QTest::addColumn<QString>("toast");
        const std::optional<int> none;
        const auto tap = [](const QString& id) {
            return Action([id](PenEditor& editor) { editor.trayTapped(id); });
        };
        QTest::newRow("left") << three << 2 << act(&PenEditor::moveLeft)
                              << QStringList{u"cherry"_s, u"sky"_s, u"mint"_s} << std::optional(1)
                              << 0.0 << QString();
        QTest::newRow("left of the first") << three << 0 << act(&PenEditor::moveLeft) << three
                                           << std::optional(0) << 0.0 << QString();
        QTest::newRow("remove") << three << 1 << act(&PenEditor::removeSelected)
                                << QStringList{u"cherry"_s, u"sky"_s} << none << 5.0 << QString();
        QTest::newRow("undo") << three << 1 << act(&PenEditor::undo)
                              << QStringList{u"cherry"_s, u"mint"_s} << none << 0.0 << QString();
        QTest::newRow("tray tap") << three << 1 << tap(u"lemon"_s)
                                  << three + QStringList{u"lemon"_s} << none << 6.0 << QString();
        QTest::newRow("tap on a full pen")
            << six << 1 << tap(u"lemon"_s) << six << std::optional(1) << 0.0 << fullText;
        QTest::newRow("tap an unknown bead")
            << three << 1 << tap(u"pebble"_s) << three << std::optional(1) << 0.0 << QString();
        const auto trayDrag = [](TrayDragPhase first) {
            return Action([first](PenEditor& editor) {
                editor.trayDragged(u"lemon"_s, first, {-5, 0});
                editor.trayDragged(u"lemon"_s, TrayDragPhase::ended, {-5, 0});
            });
        };
        QTest::newRow("tray drag")
            << three << 1 << trayDrag(TrayDragPhase::began) << three << none << 0.0 << QString();
        QTest::newRow("tray drop on a full pen") << six << -1 << Action([](PenEditor& editor) {
            editor.trayDragged(u"lemon"_s, TrayDragPhase::began, bead(editor, 2));
            editor.trayDragged(u"lemon"_s, TrayDragPhase::ended, bead(editor, 2));
        }) << six << none << 0.0 << fullText;
        // A drag the tray reports late keeps the selection.
        QTest::newRow("tray drag, first seen moving")
            << three << 1 << trayDrag(TrayDragPhase::changed) << three << std::optional(1) << 0.0
            << QString();
        QTest::newRow("save") << three << 1 << act(&PenEditor::saveToCase) << QStringList() << none
                              << 12.0 << L(u"case.saved"_s);
        QTest::newRow("save an empty pen") << QStringList() << -1 << act(&PenEditor::saveToCase)
                                           << QStringList() << none << 0.0 << L(u"case.nothing"_s);
        // Clearing takes a second press; the first only arms the button.
        QTest::newRow("clear once")
            << three << -1 << act(&PenEditor::clear) << three << none << 0.0 << QString();
        QTest::newRow("clear twice") << three << -1 << Action([](PenEditor& editor) {
            editor.clear();
            editor.clear();
        }) << QStringList() << none << 10.0
                                     << QString();
    }

    void edits() {
        QFETCH(QStringList, beads);
        QFETCH(int, selected);
        QFETCH(Action, action);
        QFETCH(QStringList, after);
        QFETCH(std::optional<int>, selection);
        QFETCH(double, kick);
        QFETCH(QString, toast);
        EditorDevice device;
        PenEditor& editor = *device.editor;
        editor.setStageFrame(QRectF(20, 30, 700, 320));
        QSignalSpy toasts(&editor, &PenEditor::toastRequested);
        device.setBeads(beads);
        if (selected >= 0) {
            click(editor, bead(editor, selected));
            QCOMPARE(editor.selected(), std::optional(selected));
        }

        action(editor);
        QCOMPARE(device.beads(), after);
        QCOMPARE(editor.selected(), selection);
        QCOMPARE(editor.kickOffset(device.clock.now), kick);
        QCOMPARE(toasts.size(), toast.isEmpty() ? 0 : 1);
        if (!toast.isEmpty())
            QCOMPARE(toasts.at(0).at(0).toString(), toast);
    }

    // The armed clear button waits for its second press until the number
    // of beads changes, however it changes.
    void aBeadCountChangeDisarmsClear() {
        EditorDevice device;
        PenEditor& editor = *device.editor;
        editor.setStageFrame(QRectF(0, 0, 700, 320));
        device.setBeads(three);
        editor.clear();
        // A drop beside the pen and a move leave the count as it was.
        editor.trayDragged(u"lemon"_s, TrayDragPhase::began, {-5, 0});
        editor.trayDragged(u"lemon"_s, TrayDragPhase::ended, {-5, 0});
        QVERIFY(editor.clearArmed());
        click(editor, bead(editor, 0));
        editor.moveRight();
        QVERIFY(editor.clearArmed());
        editor.trayTapped(u"lemon"_s);
        QVERIFY(!editor.clearArmed());
        // Another device's change counts as well.
        editor.clear();
        QVERIFY(editor.clearArmed());
        editor.store().setPen(Pen());
        QVERIFY(!editor.clearArmed());
    }
};

QTEST_GUILESS_MAIN(TestPenEditor)
#include "tst_peneditor.moc"
