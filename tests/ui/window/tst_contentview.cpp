#include "appearance/appearancemanager.h"
#include "l10n/localization.h"
#include "model/catalog.h"
#include "render/paintcolour.h"
#include "render/penlayout.h"
#include "support/languages.h"
#include "ui/common/ghostbutton.h"
#include "ui/common/toasts.h"
#include "ui/editor/beadgrid.h"
#include "ui/editor/beadtray.h"
#include "ui/editor/editorfixture.h"
#include "ui/editor/stageview.h"
#include "ui/window/headerbutton.h"
#include "ui/window/mainwindow.h"

#include <QApplication>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

using namespace tessaro;
using namespace tessaro::test;
using namespace Qt::StringLiterals;

namespace {

// The screen over a store of its own, with its managers installed and a
// clock that moves only when told.
struct Screen {
    InstalledLanguage language;
    AppearanceManager appearance{language.standard};
    AppearanceManager::Installation appearanceInstalled{appearance};
    EditorDevice device;
    // The screen sits a little in from its window's corner, as under a bar.
    QWidget window;
    ContentView view{*device.store, &device.motion, &window, device.clock.time()};

    explicit Screen(const QStringList& beads = {}) {
        device.setBeads(beads);
        window.resize(1060, 880);
        view.setGeometry(60, 120, 1000, 760);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }

    BeadGrid* grid() const { return view.tray()->grid(); }
    // Where slot `index` of the displayed pen lies, in the stage's points.
    QPoint beadOnStage(int index) const {
        const QRect canvas = view.stage()->canvasRect();
        return (canvas.topLeft() + fitStage(canvas.width()).layout.map({slotCentre(index), 0}))
            .toPoint();
    }
    QPoint slotInGrid(int index) const {
        return grid()->mapFrom(&view, view.stage()->mapTo(&view, beadOnStage(index)));
    }
    // Presses the grid's cell `cell`, drags it to `to` (grid points) and lets go.
    void dragFromTray(int cell, QPoint to) {
        const QPoint from = grid()->cellRect(cell).center().toPoint();
        QTest::mousePress(grid(), Qt::LeftButton, {}, from);
        QTest::mouseMove(grid(), (from + to) / 2);
        QTest::mouseMove(grid(), to);
        QTest::mouseRelease(grid(), Qt::LeftButton, {}, to);
    }
    GhostButton* editButton(const QString& key) const { return view.findChild<GhostButton*>(key); }
    void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }
};

QString glassBead(int index) {
    return beadsInGroup(defaultGroup).at(index).id;
}

// Every text the window shows: labels and buttons, visible ones only.
QStringList shownTexts(const QWidget& window) {
    QStringList texts;
    for (const QLabel* label : window.findChildren<QLabel*>())
        if (label->isVisibleTo(&window) && !label->text().isEmpty())
            texts.append(label->text());
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>())
        if (button->isVisibleTo(&window) && !button->text().isEmpty())
            texts.append(button->text());
    return texts;
}

} // namespace

class TestContentView : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Which slot a point is is the drop rule's own test; here, that the
    // tray's and the stage's points meet.
    void aTrayBeadDraggedOntoThePenLandsInTheSlotUnderThePointer() {
        const int slot = 2;
        const QStringList shapes{u"heart"_s, u"star"_s, u"bear"_s};
        Screen s(shapes);
        QStringList expected = shapes;
        expected.insert(slot, glassBead(4));
        s.dragFromTray(4, s.slotInGrid(slot));
        QCOMPARE(s.device.beads(), expected);
    }

    void theEditBarFollowsTheSelection() {
        Screen s({u"cherry"_s, u"mint"_s, u"sky"_s});
        const auto shown = [&](const QString& key) { return s.editButton(key)->isVisible(); };
        QVERIFY(shown(u"edit.undo"_s) && shown(u"edit.clear"_s) && !shown(u"edit.left"_s));

        QTest::mouseClick(s.view.stage(), Qt::LeftButton, {}, s.beadOnStage(0));
        QCOMPARE(s.view.editor().selected(), std::optional(0));
        for (const QString& key :
             {u"edit.left"_s, u"edit.right"_s, u"edit.remove"_s, u"edit.done"_s})
            QVERIFY2(shown(key), qPrintable(key));
        QVERIFY(!shown(u"edit.undo"_s) && !shown(u"edit.clear"_s));
        QVERIFY(!s.editButton(u"edit.left"_s)->isEnabled());

        s.click(s.editButton(u"edit.right"_s));
        QCOMPARE(s.device.beads(), (QStringList{u"mint"_s, u"cherry"_s, u"sky"_s}));
        QVERIFY(s.editButton(u"edit.left"_s)->isEnabled());
        s.click(s.editButton(u"edit.remove"_s));
        QCOMPARE(s.device.beads(), (QStringList{u"mint"_s, u"sky"_s}));
        QVERIFY(shown(u"edit.undo"_s));

        // Clearing asks for a second press.
        GhostButton* clear = s.editButton(u"edit.clear"_s);
        s.click(clear);
        QCOMPARE(s.device.beads().size(), 2);
        QVERIFY(clear->isDanger());
        s.click(clear);
        QVERIFY(s.device.beads().isEmpty());
        QVERIFY(!s.editButton(u"edit.undo"_s)->isEnabled());
    }

    void statusCountsAndTheCaseFollowTheStore() {
        Screen s;
        QCOMPARE(s.view.statusLine()->text(), L(u"status.empty"_s));
        HeaderButton* quotes = s.view.sheetButton(ContentView::Sheet::quotes);
        QCOMPARE(quotes->count(), std::optional<qsizetype>(0));
        QVERIFY(!s.view.tray()->isDimmed());

        // A change that arrives from another device, not from this screen.
        AppState remote = s.device.store->currentState();
        remote.pen.beads =
            QStringList{u"cherry"_s, u"mint"_s, u"sky"_s, u"lemon"_s, u"peach"_s, u"coral"_s};
        remote.quotes = {{u"q1"_s, u"Less is more"_s, {}, {}, 10},
                         {u"q2"_s, u"Keep going"_s, {}, {}, 20}};
        remote.updatedAt = s.device.store->updatedAt() + 60;
        s.device.store->applyRemote(remote);

        QCOMPARE(s.view.statusLine()->text(),
                 fillPlaceholders(L(u"status.full"_s), {{u"cap"_s, u"6"_s}}));
        QCOMPARE(quotes->count(), std::optional<qsizetype>(2));
        // A full pen dims the tray.
        QVERIFY(s.view.tray()->isDimmed());

        // Saving to the case says so, and the case opens.
        s.click(s.view.toolsArea()->findChildren<QAbstractButton*>().last());
        QCOMPARE(s.device.store->saved().size(), 1);
        QCOMPARE(s.view.toasts().text(), L(u"case.saved"_s));

        s.click(s.view.sheetButton(ContentView::Sheet::penCase));
        QDialog* sheet = s.view.presentedSheet();
        QVERIFY(sheet);
        QCOMPARE(sheet->windowModality(), Qt::WindowModal);
        // A second sheet never opens over the first.
        s.view.openSheet(ContentView::Sheet::penCase);
        QCOMPARE(s.view.presentedSheet(), sheet);
        sheet->reject();
        QTRY_VERIFY(!s.view.presentedSheet());
    }

    void everyControlIsNamedAndTabReachesEveryButton() {
        Screen s({u"cherry"_s, u"mint"_s});
        QList<QWidget*> buttons;
        for (QAbstractButton* button : s.view.findChildren<QAbstractButton*>())
            if (button->isVisible() && button->isEnabled())
                buttons.append(button);
        QVERIFY(buttons.size() >= 8);
        for (QWidget* button : std::as_const(buttons))
            QVERIFY2(!button->accessibleName().isEmpty(), button->metaObject()->className());
        QVERIFY(!s.view.stage()->accessibleName().isEmpty());

        // Round the whole chain once.
        QSet<QWidget*> reached;
        QWidget* first = s.view.sheetButton(ContentView::Sheet::penCase);
        first->setFocus(Qt::TabFocusReason);
        for (int i = 0; i < 500; ++i) {
            reached.insert(QApplication::focusWidget());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            if (QApplication::focusWidget() == first)
                break;
        }
        for (QWidget* button : std::as_const(buttons))
            QVERIFY2(reached.contains(button), qPrintable(button->accessibleName()));
    }

    void aLanguageSwitchRebuildsEveryText() {
        InstalledLanguage language;
        language.manager.setCode(u"en"_s);
        EditorDevice device;
        MainWindow window(*device.store, &device.motion);
        window.show();
        const QStringList english = shownTexts(window);

        QSignalSpy rebuilt(&window, &MainWindow::contentRebuilt);
        language.manager.setCode(u"de"_s);
        QTRY_COMPARE(rebuilt.size(), 1);
        const QStringList german = shownTexts(window);
        QVERIFY(german != english);
        for (const QString& key : {u"tools.save"_s, u"tools.wallpaper"_s, u"tools.case"_s,
                                   u"quotes.title"_s, u"canvas.title"_s, u"edit.undo"_s,
                                   u"edit.clear"_s, u"status.empty"_s, u"style.type"_s})
            QVERIFY2(german.contains(L(key)), qPrintable(key));
    }
};

QTEST_MAIN(TestContentView)
#include "tst_contentview.moc"
