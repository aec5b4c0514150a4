#include "maximaldocument.h"
#include "quotes/quotecollection.h"
#include "quotes/quoteimport.h"

#include <benchmark/benchmark.h>

using namespace tessaro;

namespace {

constexpr Date now = 770000000;
constexpr qsizetype fiveMiB = 5 * 1024 * 1024;

void BM_ImportPlainText5MiB(benchmark::State& run) {
    const QString text = bench::plainTextImport(10000, fiveMiB);
    for (auto _ : run)
        benchmark::DoNotOptimize(parseQuotesImport(text, now));
    run.counters["quotes"] = double(parseQuotesImport(text, now).size());
}
BENCHMARK(BM_ImportPlainText5MiB)->Unit(benchmark::kMillisecond);

void BM_ImportJson5MiB(benchmark::State& run) {
    const QString text = bench::jsonImport(fiveMiB);
    for (auto _ : run)
        benchmark::DoNotOptimize(parseQuotesImport(text, now));
    run.counters["quotes"] = double(parseQuotesImport(text, now).size());
}
BENCHMARK(BM_ImportJson5MiB)->Unit(benchmark::kMillisecond);

void BM_NormalizeQuotes1000(benchmark::State& run) {
    QList<Quote> quotes = bench::maximalDocument(0).quotes + bench::maximalDocument(1).quotes;
    for (auto _ : run)
        benchmark::DoNotOptimize(normalizeQuotes(quotes));
}
BENCHMARK(BM_NormalizeQuotes1000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
