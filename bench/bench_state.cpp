#include "maximaldocument.h"

#include <benchmark/benchmark.h>

using namespace tessaro;

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

} // namespace

BENCHMARK_MAIN();
