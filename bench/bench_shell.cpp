#include "l10n/languagemanager.h"
#include "maximaldocument.h"
#include "nullkeyvaluestore.h"
#include "platform/preferences.h"
#include "shell/keeper.h"
#include "shell/traymenu.h"
#include "store/penstore.h"

#include <QFile>
#include <QMenu>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

// The menu is drawn for a 2× screen, whose factor the offscreen screen takes
// from the environment when the application starts.
[[maybe_unused]] const bool twoTimes = [] { return qputenv("QT_SCALE_FACTOR", "2"); }();

// The tray menu over the largest document.
struct TrayFixture {
    QTemporaryDir folder;
    bench::NullKeyValueStore cloud;
    SettingsPreferences standard{folder.filePath(u"tessaro.conf"_s)};
    SettingsPreferences group{folder.filePath(u"group.conf"_s)};
    LanguageManager language{standard, group};
    LanguageManager::Installation installed{language};
    std::unique_ptr<PenStore> store;
    std::unique_ptr<Keeper> keeper;
    std::unique_ptr<TrayMenu> tray;

    TrayFixture() {
        QFile state(folder.filePath(u"state.json"_s));
        if (state.open(QIODevice::WriteOnly))
            state.write(encodeState(bench::maximalDocument()));
        state.close();
        PenStore::Environment environment;
        environment.dataFolder = folder.path();
        environment.keyValueStore = &cloud;
        environment.groupPreferences = &group;
        environment.durability = Durability::unflushed;
        store = std::make_unique<PenStore>(environment);
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

} // namespace
