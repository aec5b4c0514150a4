#include "model/catalog.h"
#include "render/penlayout.h"
#include "render/penpainter.h"
#include "render/shadowlayer.h"
#include "render/spritecache.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

// A tray icon, 34 points on a 2× screen, cycling through six beads. With
// `fresh`, every icon is painted as if for the first time.
void beadIcon(benchmark::State& run, bool fresh) {
    constexpr double size = 34;
    constexpr double ratio = 2;
    const QList<const BeadSpec*> beads{beadById(u"cherry"_s),    beadById(u"heart"_s),
                                       beadById(u"jelly-sky"_s), beadById(u"flower"_s),
                                       beadById(u"bear"_s),      beadById(u"letter-L"_s)};
    for (const BeadSpec* bead : beads)
        if (!bead) {
            run.SkipWithError("a catalog bead is missing");
            return;
        }
    QImage icon(int(size * ratio), int(size * ratio), QImage::Format_ARGB32_Premultiplied);
    icon.setDevicePixelRatio(ratio);
    qsizetype next = 0;
    SpriteCache::forThisThread().clear();
    for (auto _ : run) {
        if (fresh)
            SpriteCache::forThisThread().clear();
        icon.fill(Qt::transparent);
        QPainter painter(&icon);
        painter.setRenderHint(QPainter::Antialiasing);
        paintBeadIcon(painter, QSizeF(size, size), *beads[next], ratio);
        next = (next + 1) % beads.size();
    }
    benchmark::DoNotOptimize(icon.constBits());
}

void BM_BeadIcon34(benchmark::State& run) {
    beadIcon(run, false);
}
BENCHMARK(BM_BeadIcon34)->Unit(benchmark::kMicrosecond);

void BM_BeadIcon34Uncached(benchmark::State& run) {
    beadIcon(run, true);
}
BENCHMARK(BM_BeadIcon34Uncached)->Unit(benchmark::kMicrosecond);

// One bead-sized shadow on the editing stage: radius 59 at scale 0.6 on a
// 2× screen, the blur of a pen's bead shadow.
void BM_ShadowLayer(benchmark::State& run) {
    constexpr double scale = 0.6;
    constexpr double ratio = 2;
    QImage stage(int(160 * ratio), int(160 * ratio), QImage::Format_ARGB32_Premultiplied);
    stage.setDevicePixelRatio(ratio);
    ShadowLayer layer;
    const double thick = 72;
    const QColor colour(90, 60, 50, int(0.3 * 255));
    for (auto _ : run) {
        stage.fill(Qt::white);
        QPainter painter(&stage);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(80, 80);
        painter.scale(scale, scale);
        const double r = 0.98 * beadR;
        layer.draw(
            painter, QRectF(-r, -r, 2 * r, 2 * r),
            [r](QPainter& p) {
                p.setPen(Qt::NoPen);
                p.setBrush(QColor(90, 60, 50));
                p.drawEllipse(QPointF(), r, r);
            },
            colour, 0.175 * thick, QPointF(0.04 * thick, 0.14 * thick));
    }
    benchmark::DoNotOptimize(stage.constBits());
}
BENCHMARK(BM_ShadowLayer)->Unit(benchmark::kMicrosecond);

} // namespace
