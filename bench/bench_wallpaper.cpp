#include "render/wallpapercanvas.h"

#include <benchmark/benchmark.h>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

WallpaperCanvas sixBeads() {
    WallpaperCanvas canvas;
    canvas.pen.beads = {u"cherry"_s,    u"pearl"_s, u"star"_s,
                        u"jelly-sky"_s, u"bunny"_s, u"letter-L"_s};
    canvas.pen.type = u"gel"_s;
    canvas.pen.charm = u"bear"_s;
    canvas.bgHex = u"#F6E3EA"_s;
    return canvas;
}

void renderAt(benchmark::State& run, int width, int height) {
    const WallpaperCanvas canvas = sixBeads();
    for (auto _ : run)
        benchmark::DoNotOptimize(renderWallpaper(canvas, width, height, 1));
}

void BM_Wallpaper5K(benchmark::State& run) {
    renderAt(run, 5120, 2880);
}
BENCHMARK(BM_Wallpaper5K)->Unit(benchmark::kMillisecond);

void BM_Wallpaper2560(benchmark::State& run) {
    renderAt(run, 2560, 1600);
}
BENCHMARK(BM_Wallpaper2560)->Unit(benchmark::kMillisecond);

} // namespace
