#include "maximaldocument.h"
#include "quotes/quotecollection.h"
#include "quotes/quotefile.h"
#include "quotes/quoteimport.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <cstring>

using namespace tessaro;
using namespace Qt::StringLiterals;

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

// The same file made of 400 quotes repeated: fewer than 500 distinct quotes
// make the reader go through the whole file.
void BM_ImportPlainTextRepeated5MiB(benchmark::State& run) {
    const QString block = bench::plainTextImport(400, fiveMiB / 25);
    const QString separator = u"\n----------------------------------------\n\n"_s;
    QString text = block;
    for (int i = 1; i < 25; ++i)
        text += separator + block;
    for (auto _ : run)
        benchmark::DoNotOptimize(parseQuotesImport(text, now));
    run.counters["quotes"] = double(parseQuotesImport(text, now).size());
}
BENCHMARK(BM_ImportPlainTextRepeated5MiB)->Unit(benchmark::kMillisecond);

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

// Peak memory of reading a 5 MiB file of tiny quotes in a process of its own:
// "peakMiB" is the whole child, "timesFile" that peak over the file's size,
// "idleMiB" the same program doing nothing.
void importPeak(benchmark::State& run, bool json) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"tiny.txt"_s);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(bench::tinyQuotesImport(fiveMiB, json)) != fiveMiB) {
        run.SkipWithError("cannot write the import file");
        return;
    }
    file.close();
    qint64 peak = 0;
    for (auto _ : run)
        peak = bench::childPeakRss({u"--import-once"_s, path});
    const qint64 idle = bench::childPeakRss({u"--idle"_s});
    if (peak < 0 || idle < 0) {
        run.SkipWithError("the helper process failed");
        return;
    }
    run.counters["peakMiB"] = double(peak) / (1024 * 1024);
    run.counters["idleMiB"] = double(idle) / (1024 * 1024);
    run.counters["timesFile"] = double(peak) / double(fiveMiB);
}

void BM_ImportPeakRssTinyPlainText5MiB(benchmark::State& run) {
    importPeak(run, false);
}
BENCHMARK(BM_ImportPeakRssTinyPlainText5MiB)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_ImportPeakRssTinyJson5MiB(benchmark::State& run) {
    importPeak(run, true);
}
BENCHMARK(BM_ImportPeakRssTinyJson5MiB)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    // Helper modes for the memory benchmarks.
    if (argc == 2 && std::strcmp(argv[1], "--idle") == 0)
        return bench::reportPeakRss();
    if (argc == 3 && std::strcmp(argv[1], "--import-once") == 0) {
        const auto result = readQuotesFile(QString::fromLocal8Bit(argv[2]), now);
        return std::holds_alternative<QList<Quote>>(result) ? bench::reportPeakRss() : 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
