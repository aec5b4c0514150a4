#include "maximaldocument.h"
#include "platform/atomicfile.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <cstring>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

constexpr Date now = 770000000;

void BM_EncodeMaximalState(benchmark::State& run) {
    const AppState document = bench::maximalDocument();
    for (auto _ : run)
        benchmark::DoNotOptimize(encodeState(document));
    run.SetBytesProcessed(run.iterations() * encodeState(document).size());
}
BENCHMARK(BM_EncodeMaximalState)->Unit(benchmark::kMillisecond);

void BM_DecodeMaximalState(benchmark::State& run) {
    const QByteArray bytes = encodeState(bench::maximalDocument());
    for (auto _ : run) {
        auto decoded = decodeState(bytes);
        benchmark::DoNotOptimize(decoded->state.sanitized(now));
    }
    run.SetBytesProcessed(run.iterations() * bytes.size());
}
BENCHMARK(BM_DecodeMaximalState)->Unit(benchmark::kMillisecond);

void BM_MergeMaximalStates(benchmark::State& run) {
    const AppState local = bench::maximalDocument(0);
    const AppState remote = bench::maximalDocument(1);
    for (auto _ : run)
        benchmark::DoNotOptimize(mergeStates(local, remote, now));
}
BENCHMARK(BM_MergeMaximalStates)->Unit(benchmark::kMillisecond);

// Peak memory of reading a state file in a process of its own, as start-up
// does (read, decode, repair): "peakMiB" is the whole child, "timesFile" that
// peak over the file's size, "idleMiB" the same program doing nothing.
void statePeak(benchmark::State& run, const AppState& document) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"state.json"_s);
    const QByteArray bytes = encodeState(document);
    if (!writeFileAtomically(path, bytes, Durability::unflushed)) {
        run.SkipWithError("cannot write the state file");
        return;
    }
    qint64 peak = 0;
    for (auto _ : run)
        peak = bench::childPeakRss({u"--decode-once"_s, path});
    const qint64 idle = bench::childPeakRss({u"--idle"_s});
    if (peak < 0 || idle < 0) {
        run.SkipWithError("the helper process failed");
        return;
    }
    run.counters["fileMiB"] = double(bytes.size()) / (1024 * 1024);
    run.counters["peakMiB"] = double(peak) / (1024 * 1024);
    run.counters["idleMiB"] = double(idle) / (1024 * 1024);
    run.counters["timesFile"] = double(peak) / double(bytes.size());
}

void BM_DecodePeakRssMaximalState(benchmark::State& run) {
    statePeak(run, bench::maximalDocument());
}
BENCHMARK(BM_DecodePeakRssMaximalState)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_DecodePeakRssMillionTombstones(benchmark::State& run) {
    statePeak(run, bench::tombstoneDocument(1000000));
}
BENCHMARK(BM_DecodePeakRssMillionTombstones)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    // Helper modes for the memory benchmarks.
    if (argc == 2 && std::strcmp(argv[1], "--idle") == 0)
        return bench::reportPeakRss();
    if (argc == 3 && std::strcmp(argv[1], "--decode-once") == 0) {
        const auto bytes = readRegularFile(QString::fromLocal8Bit(argv[2]), maxStateBytes);
        const auto decoded = bytes ? decodeState(*bytes) : std::nullopt;
        if (!decoded)
            return 1;
        benchmark::DoNotOptimize(decoded->state.sanitized(now));
        return bench::reportPeakRss();
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
