#include "appearance/appearancemanager.h"
#include "model/catalog.h"
#include "render/paintcolour.h"
#include "render/spritecache.h"
#include "ui/editor/beadgrid.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

using namespace tessaro;

namespace {

// The group with the most beads, whose grid is the tray's largest.
QList<BeadSpec> largestGroup() {
    QList<BeadSpec> largest;
    for (const QString& group : beadGroups()) {
        const QList<BeadSpec> beads = beadsInGroup(group);
        if (beads.size() > largest.size())
            largest = beads;
    }
    return largest;
}

// The whole bead grid of a tray 380 points wide (352 inside its padding) on
// a 2× screen, every cell exposed, as after a switch of group. The sprite
// cache is warm, as it is once the tray has been shown.
void trayPaint(benchmark::State& run, bool dimmed) {
    const QList<BeadSpec> beads = largestGroup();
    const double width = 352;
    const double ratio = 2;
    const BeadGridLayout layout = BeadGridLayout::forWidth(width);
    const QRectF grid(0, 0, width, layout.height(int(beads.size())));
    QImage image(int(grid.width() * ratio), int(grid.height() * ratio),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    const QColor surface = toColor(interfacePalette().surface.light);
    const auto paint = [&] {
        image.fill(surface);
        QPainter painter(&image);
        paintBeadCells(painter, layout, beads, grid, dimmed, false);
    };
    paint();
    for (auto _ : run)
        paint();
    benchmark::DoNotOptimize(image.constBits());
    run.counters["cells"] = double(beads.size());
}

void BM_TrayPaint2x(benchmark::State& run) {
    trayPaint(run, false);
}
BENCHMARK(BM_TrayPaint2x)->Unit(benchmark::kMillisecond);

// Dimmed while the pen is full: the cells must still come from the cache.
void BM_TrayPaintDimmed2x(benchmark::State& run) {
    trayPaint(run, true);
}
BENCHMARK(BM_TrayPaintDimmed2x)->Unit(benchmark::kMillisecond);

} // namespace
