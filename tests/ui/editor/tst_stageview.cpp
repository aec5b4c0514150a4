#include "appearance/appearancemanager.h"
#include "editorfixture.h"
#include "l10n/localization.h"
#include "model/catalog.h"
#include "render/charmpainter.h"
#include "render/paintcolour.h"
#include "render/penpalette.h"
#include "ui/editor/stageview.h"

#include <QPainter>
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
    QPointF toRoot(QPoint point) { return stage->mapTo(&root, QPointF(point)); }
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
    QStringList toastTexts() const {
        QStringList texts;
        for (const QList<QVariant>& toast : toasts)
            texts.append(toast.at(0).toString());
        return texts;
    }
    QImage picture() { return stage->grab().toImage(); }
};

// The device pixels a picture covers.
QRect coverage(const QImage& image) {
    QRect covered;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(line[x]) != 0)
                covered |= QRect(x, y, 1, 1);
    }
    return covered;
}

} // namespace

class TestStageView : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void reportsItsCanvasInTheEditorsCoordinates() {
        Screen screen;
        QVERIFY(QTest::qWaitForWindowExposed(&screen.root));
        const double height = fitStage(700).height;
        // Centred in the 760-point stage, which sits at (20, 40) in the root.
        QCOMPARE(screen.editor().stageFrame(), QRectF(50, 40, 700, height));
        screen.column->move(40, 60);
        QCOMPARE(screen.editor().stageFrame(), QRectF(70, 70, 700, height));
    }

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
        const QImage before = screen.picture();
        screen.press(screen.bead(from));
        screen.moveTo(screen.onPen(to));
        QVERIFY(screen.editor().drag());
        QCOMPARE(screen.editor().drag()->from, from);
        QCOMPARE(screen.editor().drag()->slot, std::optional(slot));
        // The bead is lifted and a gap opens for it.
        QVERIFY(screen.picture() != before);

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
        QCOMPARE(screen.toastTexts(), QStringList{L(u"drag.removed"_s)});
        QCOMPARE(screen.editor().kickOffset(screen.device.clock.now), 5.0);
    }

    // A tray bead let go over the pen or beside it (`over` < 0): a gap
    // opens only while there is room, and a full pen says why the bead did
    // not go on.
    void aTrayBeadDrops_data() {
        QTest::addColumn<QStringList>("beads");
        QTest::addColumn<double>("over");
        QTest::addColumn<bool>("gap");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QStringList>("toast");
        const QStringList five = six.mid(0, 5);
        const QStringList full{u"The pen is full (6 beads)"_s};
        QTest::newRow("over a pen of five")
            << five << slotCentre(2) << true
            << five.mid(0, 2) + QStringList{u"jelly-sky"_s} + five.mid(2) << QStringList();
        QTest::newRow("over a full pen") << six << slotCentre(2) << false << six << full;
        QTest::newRow("beside the pen") << four << -1.0 << false << four << QStringList();
        QTest::newRow("beside a full pen") << six << -1.0 << false << six << full;
    }

    void aTrayBeadDrops() {
        QFETCH(QStringList, beads);
        QFETCH(double, over);
        QFETCH(bool, gap);
        QFETCH(QStringList, after);
        QFETCH(QStringList, toast);
        Screen screen(beads);
        const QImage before = screen.picture();
        const QPointF point = over < 0 ? QPointF(5, 5) : screen.toRoot(screen.onPen(over));
        screen.editor().trayDragged(u"jelly-sky"_s, TrayDragPhase::began, point);
        QCOMPARE(screen.picture() != before, gap);
        screen.editor().trayDragged(u"jelly-sky"_s, TrayDragPhase::ended, point);
        QCOMPARE(screen.device.beads(), after);
        QCOMPARE(screen.toastTexts(), toast);
    }

    // Each new slot repaints only the part of the pen that moves; after a
    // few, the stage shows what a fresh one shows.
    void aMovingGapLeavesNoTrace() {
        const QStringList five = six.mid(0, 5);
        Screen moved(five);
        moved.picture();
        for (const int slot : {4, 0, 5, 2}) {
            const QPointF over = moved.toRoot(moved.onPen(slotCentre(slot)));
            moved.editor().trayDragged(u"jelly-sky"_s, TrayDragPhase::changed, over);
            QCOMPARE(moved.editor().drag()->slot, std::optional(slot));
            moved.picture();
        }
        Screen fresh(five);
        fresh.editor().trayDragged(u"jelly-sky"_s, TrayDragPhase::began,
                                   fresh.toRoot(fresh.onPen(slotCentre(2))));
        QCOMPARE(moved.picture(), fresh.picture());
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

    // Selecting, dragging and painting start no timer; a kick does, until
    // it ends. Kicks 1 s apart: the first kick's check finds the second
    // running and leaves it.
    void onlyAKickRunsATimer() {
        Screen screen;
        ManualTime& clock = screen.device.clock;
        QVERIFY(QTest::qWaitForWindowExposed(&screen.root));
        screen.click(screen.bead(2));
        screen.press(screen.bead(0));
        screen.moveTo(screen.bead(3));
        screen.stage->repaint();
        QVERIFY(!screen.stage->isAnimating());
        QVERIFY(clock.steps.empty());
        screen.release(screen.offThePen());
        clock.advance(2);
        QVERIFY(!screen.stage->isAnimating());

        screen.click(screen.offThePen());
        QVERIFY(screen.editor().kicking());
        QVERIFY(screen.stage->isAnimating());
        QCOMPARE(screen.editor().kickOffset(clock.now), 7.0);

        clock.advance(1);
        screen.click(screen.offThePen());
        QCOMPARE(screen.editor().kickOffset(clock.now + 1.8001), 0.0);
        clock.advance(0.95);
        QVERIFY(screen.editor().kicking());
        QVERIFY(screen.stage->isAnimating());
        clock.advance(1);
        QVERIFY(!screen.editor().kicking());
        QVERIFY(!screen.stage->isAnimating());
        QVERIFY(clock.steps.empty());
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

        // Turned on during a kick, it stops the charm at once.
        screen.device.motion.set(false);
        screen.editor().charmPicked();
        QVERIFY(screen.stage->isAnimating());
        screen.device.motion.set(true);
        QVERIFY(!screen.editor().kicking());
        QVERIFY(!screen.stage->isAnimating());
        QCOMPARE(screen.editor().kickOffset(screen.device.clock.now), 0.0);
    }

    // The installed appearance manager decides over the widget's palette.
    void paintsInTheInstalledAppearance_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("dark");
        QTest::newRow("no manager, dark palette") << QString() << true;
        QTest::newRow("light over a dark palette") << u"light"_s << false;
    }

    void paintsInTheInstalledAppearance() {
        QFETCH(QString, mode);
        QFETCH(bool, dark);
        MemoryPreferences preferences;
        AppearanceManager appearance(preferences);
        appearance.setMode(mode);
        std::optional<AppearanceManager::Installation> installed;
        if (!mode.isEmpty())
            installed.emplace(appearance);
        Screen screen;
        QPalette palette;
        palette.setColor(QPalette::Window, Qt::black);
        screen.stage->setPalette(palette);
        QCOMPARE(screen.picture().pixelColor(2, 2),
                 toColor(interfacePalette().background.resolved(dark)));
    }

    // Only the charm's area is repainted while it swings: nothing of it
    // may fall outside.
    void theCharmStaysInItsBounds_data() {
        QTest::addColumn<QString>("kind");
        for (const QString& kind : charmKinds())
            QTest::newRow(kind.toUtf8().constData()) << kind;
    }

    void theCharmStaysInItsBounds() {
        QFETCH(QString, kind);
        const double ratio = 2;
        const PenLayout layout = fitStage(700).layout;
        const QPointF anchor = charmAnchor(layout);
        for (const double swing : {-16.0, -7.0, 0.0, 5.0, 16.0}) {
            QImage image(1400, 800, QImage::Format_ARGB32_Premultiplied);
            image.setDevicePixelRatio(ratio);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            drawCharm(painter, anchor, layout.scale, swing, kind, penPalette(false),
                      pixelScale(layout.scale, ratio));
            painter.end();
            const QRectF bounds = charmSwingBounds(anchor, layout.scale, swing);
            const QRect pixels(QPoint(int(bounds.left() * ratio), int(bounds.top() * ratio)),
                               QPoint(int(bounds.right() * ratio), int(bounds.bottom() * ratio)));
            QVERIFY2(pixels.contains(coverage(image)), qPrintable(u"swing %1"_s.arg(swing)));
        }
    }
};

QTEST_MAIN(TestStageView)
#include "tst_stageview.moc"
