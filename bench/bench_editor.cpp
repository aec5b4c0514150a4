#include "nullkeyvaluestore.h"
#include "platform/preferences.h"
#include "render/penlayout.h"
#include "store/penstore.h"
#include "ui/editor/peneditor.h"
#include "ui/editor/stageview.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <QTimerEvent>
#include <QWidget>

#include <benchmark/benchmark.h>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

// Every frame here is painted for a 2× screen; the offscreen screen takes
// its factor from the environment when the application starts.
[[maybe_unused]] const bool twoTimes = [] { return qputenv("QT_SCALE_FACTOR", "2"); }();

// The editor's widget holding a 700-point stage, shown on the offscreen
// screen, with six beads of mixed shapes on a gel pen, and a clock that
// moves only when the benchmark moves it.
struct Editor {
    QTemporaryDir folder;
    bench::NullKeyValueStore cloud;
    SettingsPreferences group{folder.filePath(u"group.conf"_s)};
    std::unique_ptr<PenStore> store;
    double now = 0;
    std::unique_ptr<PenEditor> editor;
    QWidget root;
    StageView* stage;

    Editor() {
        PenStore::Environment environment;
        environment.dataFolder = folder.path();
        environment.keyValueStore = &cloud;
        environment.groupPreferences = &group;
        environment.durability = Durability::unflushed;
        store = std::make_unique<PenStore>(environment);
        Pen pen;
        pen.beads = {u"cherry"_s, u"heart"_s, u"jelly-sky"_s,
                     u"flower"_s, u"bear"_s,  u"letter-L"_s};
        pen.type = u"gel"_s;
        store->setPen(pen);
        EditorTime time{[this] { return now; }, [](int, QObject*, std::function<void()>) {}};
        editor = std::make_unique<PenEditor>(*store, nullptr, time);
        stage = new StageView(*editor, &root, &root);
        root.resize(700, stage->heightForWidth(700));
        stage->setGeometry(root.rect());
        root.show();
        settle();
    }

    // Paints what is due, as the event loop does between two events.
    static void settle() { QCoreApplication::processEvents(); }

    void mouse(QEvent::Type type, QPointF penPoint) {
        const QRect canvas = stage->canvasRect();
        const QPointF at = canvas.topLeft() + fitStage(canvas.width()).layout.map(penPoint);
        QMouseEvent event(type, at, stage->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, {});
        QCoreApplication::sendEvent(stage, &event);
    }
};

// One frame of a kick: the frame timer ticks a frame later, the charm's
// area is repainted from the kept pen picture and the charm drawn afresh.
void BM_KickFrame2x(benchmark::State& run) {
    Editor editor;
    if (editor.stage->devicePixelRatioF() != 2) {
        run.SkipWithError("the screen is not at 2x");
        return;
    }
    editor.editor->kick(16);
    Editor::settle();
    QTimer* frames = editor.stage->findChild<QTimer*>();
    for (auto _ : run) {
        editor.now += 1.0 / 60;
        // Past the swing's end, start again: every frame measured swings.
        if (editor.now > 1.7) {
            editor.now = 0;
            editor.editor->kick(16);
        }
        QTimerEvent tick(frames->timerId());
        QCoreApplication::sendEvent(frames, &tick);
        Editor::settle();
    }
}
BENCHMARK(BM_KickFrame2x)->Unit(benchmark::kMillisecond);

// One pointer move of a bead dragged over the pen, each to another slot:
// the slot is found, the pen is painted anew with the gap and the ghost,
// the floating bead moves and the stage is repainted.
void BM_DragFrame2x(benchmark::State& run) {
    Editor editor;
    if (editor.stage->devicePixelRatioF() != 2) {
        run.SkipWithError("the screen is not at 2x");
        return;
    }
    editor.mouse(QEvent::MouseButtonPress, {slotCentre(5), 0});
    editor.mouse(QEvent::MouseMove, {slotCentre(4), 0});
    Editor::settle();
    int move = 0;
    for (auto _ : run) {
        editor.mouse(QEvent::MouseMove, {slotCentre(++move % 2 ? 1 : 3), 0});
        Editor::settle();
    }
    editor.mouse(QEvent::MouseButtonRelease, {slotCentre(5), 0});
}
BENCHMARK(BM_DragFrame2x)->Unit(benchmark::kMillisecond);

} // namespace
