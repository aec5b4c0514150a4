#include "maximaldocument.h"
#include "platform/keyvaluestore.h"
#include "platform/preferences.h"
#include "store/cloudsync.h"
#include "store/penstore.h"
#include "store/statefile.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sys/time.h>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

// A cloud that keeps nothing: the save benchmarks measure the local work.
class NullKeyValueStore final : public KeyValueStore {
public:
    std::optional<QByteArray> data(const QString&) override { return std::nullopt; }
    bool setData(const QString&, const QByteArray&) override { return true; }
    void synchronize() override {}
};

struct Bench {
    QTemporaryDir folder;
    NullKeyValueStore cloud;
    // The widget's preferences, in a file of the benchmark's own.
    SettingsPreferences group{folder.filePath(u"group.conf"_s)};
    std::unique_ptr<PenStore> store;

    explicit Bench(std::optional<QString> cloudDrawings = {}) {
        PenStore::Environment environment;
        environment.dataFolder = folder.path();
        environment.keyValueStore = &cloud;
        environment.groupPreferences = &group;
        if (cloudDrawings)
            environment.cloudResolver = [cloudDrawings] { return cloudDrawings; };
        // The flush to disk is the disk's cost, not the program's: left out.
        environment.durability = Durability::unflushed;
        store = std::make_unique<PenStore>(environment);
    }

    void load(const AppState& state) {
        store->setPen(state.pen);
        store->setSaved(state.saved);
        store->setQuotes(state.quotes);
        store->setDrawings(state.drawings);
    }
};

AppState typicalDocument() {
    AppState full = bench::maximalDocument();
    AppState state;
    state.pen = full.pen;
    state.saved = full.saved.first(5);
    state.quotes = full.quotes.first(30);
    state.drawings = full.drawings.first(10);
    return state;
}

// What an edit costs the GUI thread with the largest document: the store
// operation until it returns (the state file is written on the worker).
void BM_EditGuiThreadMaximal(benchmark::State& run) {
    Bench bench;
    bench.load(bench::maximalDocument());
    bench.store->flush();
    const QString charms[] = {u"bunny"_s, u"cat"_s};
    int n = 0;
    for (auto _ : run)
        bench.store->setCharm(charms[n++ % 2]);
    bench.store->flush();
}
BENCHMARK(BM_EditGuiThreadMaximal)->Unit(benchmark::kMicrosecond);

// The worker's write: encode, write, flush the data and the folder to disk.
void saveFlushed(benchmark::State& run, const AppState& state) {
    QTemporaryDir folder;
    StateFile file(folder.filePath(u"state.json"_s), Durability::flushed);
    for (auto _ : run)
        if (!file.save(state))
            run.SkipWithError("the state file could not be written");
}

void BM_SaveFlushedTypical(benchmark::State& run) {
    saveFlushed(run, typicalDocument());
}
BENCHMARK(BM_SaveFlushedTypical)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SaveFlushedMaximal(benchmark::State& run) {
    saveFlushed(run, bench::maximalDocument());
}
BENCHMARK(BM_SaveFlushedMaximal)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_EncodeWithinBudget10000Quotes(benchmark::State& run) {
    AppState state;
    for (int i = 0; i < 10000; ++i)
        state.quotes.append({u"id"_s + QString::number(i),
                             QString::number(i) + QString(u"quote text "_s).repeated(50).left(495),
                             u"Source "_s + QString::number(i),
                             u"https://example.com/"_s + QString::number(i), 700000000.0 + i});
    for (auto _ : run) {
        const auto blob = encodeWithinBudget(state);
        benchmark::DoNotOptimize(blob);
    }
    run.counters["quotesLeftOut"] = encodeWithinBudget(state).quotesLeftOut;
}
BENCHMARK(BM_EncodeWithinBudget10000Quotes)->Unit(benchmark::kMillisecond);

void BM_ReconcileDrawings1000Files(benchmark::State& run) {
    QTemporaryDir cloud;
    Bench bench(cloud.path());
    const QString local = bench.folder.filePath(u"Drawings"_s);
    QDir().mkpath(local);
    struct timeval times[2] = {{1700000000, 0}, {1700000000, 0}};
    for (int i = 0; i < 1000; ++i) {
        const QString name = u"/page-"_s + QString::number(i) + u".pkdrawing"_s;
        for (const QString& folder : {local, cloud.path()}) {
            QFile file(folder + name);
            file.open(QIODevice::WriteOnly);
            file.write("strokes");
            file.close();
            ::utimes(QFile::encodeName(file.fileName()).constData(), times);
        }
    }
    // The pass runs on a worker; a reconcile is done when its result is in.
    const auto reconcile = [&] {
        bench.store->reconcileDrawings();
        QDeadlineTimer deadline(30000);
        do
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        while (bench.store->isReconcilingDrawings() && !deadline.hasExpired());
    };
    reconcile();
    if (bench.store->drawings().size() != 1000) {
        run.SkipWithError("the pages were not adopted");
        return;
    }
    for (auto _ : run)
        reconcile();
}
BENCHMARK(BM_ReconcileDrawings1000Files)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
