#include "model/catalog.h"
#include "render/penlayout.h"
#include "render/penpainter.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

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

// One frame of the editing stage, 700 points wide.
void stageFrame(benchmark::State& run, double ratio) {
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
    options.type = u"gel"_s;
    options.angle = fit.layout.angle;
    options.pixelScale = pixelScale(fit.layout.scale, ratio);
    for (auto _ : run) {
        stage.fill(Qt::white);
        QPainter painter(&stage);
        painter.setRenderHint(QPainter::Antialiasing);
        fit.layout.apply(painter);
        drawPen(painter, options);
    }
    benchmark::DoNotOptimize(stage.constBits());
}

void BM_StageFrame2x(benchmark::State& run) {
    stageFrame(run, 2);
}
BENCHMARK(BM_StageFrame2x)->Unit(benchmark::kMillisecond);

void BM_StageFrame1x(benchmark::State& run) {
    stageFrame(run, 1);
}
BENCHMARK(BM_StageFrame1x)->Unit(benchmark::kMillisecond);

// A type picker thumbnail: 64 × 20 points on a 2× screen.
void BM_TypeThumb64(benchmark::State& run) {
    const QSizeF size(64, 20);
    QImage thumb(128, 40, QImage::Format_ARGB32_Premultiplied);
    thumb.setDevicePixelRatio(2);
    for (auto _ : run) {
        thumb.fill(Qt::transparent);
        QPainter painter(&thumb);
        painter.setRenderHint(QPainter::Antialiasing);
        paintPenTypeThumb(painter, size, u"fountain", u"white", u"#6FB3E0", false, 2);
    }
    benchmark::DoNotOptimize(thumb.constBits());
}
BENCHMARK(BM_TypeThumb64)->Unit(benchmark::kMicrosecond);

} // namespace
