#include "model/catalog.h"
#include "render/charmpainter.h"
#include "render/penlayout.h"
#include "render/penpainter.h"
#include "render/penpalette.h"
#include "render/renderpool.h"
#include "render/spritecache.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>
#include <cmath>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

// Six beads of mixed shapes, round-bodied and shaped, so every shadow pass runs.
std::optional<QList<BeadSpec>> mixedBeads() {
    QList<BeadSpec> beads;
    for (const QString& id :
         {u"cherry"_s, u"heart"_s, u"jelly-sky"_s, u"flower"_s, u"bear"_s, u"letter-L"_s}) {
        const BeadSpec* bead = beadById(id);
        if (!bead)
            return std::nullopt;
        beads.append(*bead);
    }
    return beads;
}

// One frame of the editing stage, 700 points wide: the pen with its
// shadows and the charm in mid-swing, at a new angle every frame. With
// `fresh`, nothing is kept from the frame before, as after a change of pen.
void stageFrame(benchmark::State& run, double ratio, bool fresh) {
    const auto beads = mixedBeads();
    if (!beads) {
        run.SkipWithError("a catalog bead is missing");
        return;
    }
    const StageFit fit = fitStage(700);
    QImage stage(int(700 * ratio), int(fit.height * ratio), QImage::Format_ARGB32_Premultiplied);
    stage.setDevicePixelRatio(ratio);
    DrawPenOptions options;
    options.beads = *beads;
    options.type = PenType::gel;
    options.angle = fit.layout.angle;
    options.pixelScale = pixelScale(fit.layout.scale, ratio);
    const QPointF anchor = charmAnchor(fit.layout);
    const PenPalette palette = penPalette(false);
    SpriteCache::forThisThread().clear();
    int frame = 0;
    // Painted as the stage paints its picture.
    for (auto _ : run) {
        paintWhole([&] {
            if (fresh)
                SpriteCache::forThisThread().clear();
            stage.fill(Qt::white);
            QPainter painter(&stage);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.save();
            fit.layout.apply(painter);
            drawPen(painter, options);
            painter.restore();
            const double swing = 14 * std::sin(0.21 * frame++);
            drawCharm(painter, anchor, fit.layout.scale, swing, u"bunny"_s, palette,
                      options.pixelScale);
        });
    }
    benchmark::DoNotOptimize(stage.constBits());
}

void BM_StageFrame2x(benchmark::State& run) {
    stageFrame(run, 2, false);
}
BENCHMARK(BM_StageFrame2x)->Unit(benchmark::kMillisecond);

void BM_StageFrame1x(benchmark::State& run) {
    stageFrame(run, 1, false);
}
BENCHMARK(BM_StageFrame1x)->Unit(benchmark::kMillisecond);

void BM_StageFirstFrame2x(benchmark::State& run) {
    stageFrame(run, 2, true);
}
BENCHMARK(BM_StageFirstFrame2x)->Unit(benchmark::kMillisecond);

void BM_StageFirstFrame1x(benchmark::State& run) {
    stageFrame(run, 1, true);
}
BENCHMARK(BM_StageFirstFrame1x)->Unit(benchmark::kMillisecond);

// A type picker thumbnail: 64 × 20 points on a 2× screen.
void BM_TypeThumb64(benchmark::State& run) {
    const QSizeF size(64, 20);
    QImage thumb(128, 40, QImage::Format_ARGB32_Premultiplied);
    thumb.setDevicePixelRatio(2);
    for (auto _ : run) {
        thumb.fill(Qt::transparent);
        QPainter painter(&thumb);
        painter.setRenderHint(QPainter::Antialiasing);
        paintPenTypeThumb(painter, size, PenType::fountain, u"white", u"#6FB3E0", false, 2);
    }
    benchmark::DoNotOptimize(thumb.constBits());
}
BENCHMARK(BM_TypeThumb64)->Unit(benchmark::kMicrosecond);

} // namespace
