#include "benchdevice.h"
#include "shell/keeper.h"
#include "shell/traymenu.h"
#include "ui/window/mainwindow.h"

#include <QCoreApplication>
#include <QMenu>

#include <benchmark/benchmark.h>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

// The menu is drawn for a 2× screen, whose factor the offscreen screen takes
// from the environment when the application starts.
[[maybe_unused]] const bool twoTimes = [] { return qputenv("QT_SCALE_FACTOR", "2"); }();

// The tray menu over the largest document.
struct TrayFixture : bench::Device {
    std::unique_ptr<PenStore> store;
    std::unique_ptr<Keeper> keeper;
    std::unique_ptr<TrayMenu> tray;

    TrayFixture() {
        writeMaximalState();
        store = std::make_unique<PenStore>(environment());
        keeper = std::make_unique<Keeper>(*store);
        tray = std::make_unique<TrayMenu>(*store, *keeper, TrayMenu::Rows::drawn);
    }
};

// The menu built again after a quote came or went: the pen's picture is
// kept, the rows are new.
void BM_TrayMenuRebuild(benchmark::State& run) {
    TrayFixture fixture;
    for (auto _ : run) {
        fixture.tray->rebuild();
        benchmark::DoNotOptimize(fixture.tray->menu()->actions().size());
    }
}
BENCHMARK(BM_TrayMenuRebuild)->Unit(benchmark::kMillisecond);

// The same after the pen changed, which draws its picture again.
void BM_TrayMenuRebuildPenChanged(benchmark::State& run) {
    TrayFixture fixture;
    bool black = false;
    for (auto _ : run) {
        black = !black;
        fixture.store->setBarrel(black ? u"black"_s : u"white"_s);
        benchmark::DoNotOptimize(fixture.tray->menu()->actions().size());
    }
}
BENCHMARK(BM_TrayMenuRebuildPenChanged)->Unit(benchmark::kMillisecond);

// Notes each paint of the widget it watches.
class Paints final : public QObject {
public:
    int count = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++count;
        return QObject::eventFilter(watched, event);
    }
};

// From KeepLine's answer to the sender until the window has painted the
// new count: the keeping waits one turn of the event loop, the paint
// another.
void BM_KeptQuoteVisible(benchmark::State& run) {
    TrayFixture fixture;
    MainWindow window(*fixture.store, nullptr);
    window.resize(1000, 760);
    window.show();
    QCoreApplication::processEvents();
    Paints paints;
    // Any part of the window that repaints, such as the count on the quotes button.
    QCoreApplication::instance()->installEventFilter(&paints);
    int serial = 0;
    for (auto _ : run) {
        const QString text = u"Kept from elsewhere %1"_s.arg(++serial);
        fixture.keeper->keepLine(text, u"Bench"_s);
        const int painted = paints.count;
        // The collection is full, so its size stays: the newest quote tells.
        while (fixture.store->quotes().first().text != text || paints.count == painted)
            QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_KeptQuoteVisible)->Unit(benchmark::kMillisecond);

} // namespace
