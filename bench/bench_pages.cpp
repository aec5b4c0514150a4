#include "render/pages/pagerender.h"

#include <QRandomGenerator>

#include <benchmark/benchmark.h>

#include <cmath>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

const QSizeF pageSize(1000, 1400);

// A full page of handwriting: 2,000 strokes of 100 samples each, wandering
// as a hand does, in three inks, with the pressure rising and falling along
// each stroke.
const Page& handwrittenPage() {
    static const Page page = [] {
        QRandomGenerator random(2024);
        const QString tools[] = {u"pencil"_s, u"ballpoint"_s, u"fountain"_s, u"gel"_s};
        const QColor inks[] = {QColor(0x2B, 0x21, 0x1C), QColor(0x3A, 0x5B, 0xA0), QColor(0xD9, 0x4F, 0x6E)};
        Page made;
        for (int s = 0; s < 2000; ++s) {
            PageStroke stroke;
            stroke.tool = tools[s % 4];
            stroke.ink = inks[s % 3];
            stroke.width = 1.5 + random.bounded(3.0);
            double x = 40 + random.bounded(920.0);
            double y = 40 + random.bounded(1320.0);
            double heading = random.bounded(2 * M_PI);
            for (int i = 0; i < 100; ++i) {
                const double pressure = 0.3 + 0.7 * std::sin(M_PI * i / 99);
                stroke.points.push_back({float(x), float(y), float(pressure)});
                heading += random.bounded(0.9) - 0.45;
                x += 2.5 * std::cos(heading);
                y += 2.5 * std::sin(heading);
            }
            made.strokes.strokes.push_back(std::move(stroke));
        }
        return made;
    }();
    return page;
}

void BM_RenderPage2x(benchmark::State& run) {
    const Page& page = handwrittenPage();
    for (auto _ : run)
        benchmark::DoNotOptimize(renderPage(page, pageSize, 2));
}
BENCHMARK(BM_RenderPage2x)->Unit(benchmark::kMillisecond);

void BM_MakeThumbnail(benchmark::State& run) {
    const Page& page = handwrittenPage();
    for (auto _ : run)
        benchmark::DoNotOptimize(makeThumbnail(page, pageSize));
}
BENCHMARK(BM_MakeThumbnail)->Unit(benchmark::kMillisecond);

// Reading the same page from its file, as the page view does first.
void BM_DecodeStrokePage(benchmark::State& run) {
    const QByteArray bytes = strokePageJson(handwrittenPage().strokes);
    run.counters["bytes"] = double(bytes.size());
    for (auto _ : run)
        benchmark::DoNotOptimize(decodePage(bytes));
}
BENCHMARK(BM_DecodeStrokePage)->Unit(benchmark::kMillisecond);

} // namespace
