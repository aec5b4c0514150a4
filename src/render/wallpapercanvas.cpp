#include "wallpapercanvas.h"

#include "render/charmpainter.h"
#include "render/largeimage.h"
#include "render/penlayout.h"
#include "render/penpainter.h"
#include "render/penpalette.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QSemaphore>
#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tessaro {

namespace {

constexpr double wallpaperAngle = -0.733038; // -42°
constexpr double cos42 = 743.1448254773942;  // 1000 · cos 42°
constexpr double sin42 = 669.1306063588582;  // 1000 · sin 42°
// The pen's horizontal extent plus room for the hanging charm.
constexpr double horizontalExtent = cos42 + 81.84;
// Larger images are refused rather than attempted: 16384² pixels is 1 GiB.
constexpr double maxSide = 16384;

} // namespace

void paintWallpaper(QPainter& painter, QSizeF size, const WallpaperCanvas& canvas,
                    double devicePixelRatio) {
    const RGB background = rgbFromHex(canvas.bgHex);
    painter.fillRect(QRectF(QPointF(0, 0), size),
                     QColor::fromRgb(int(background.r), int(background.g), int(background.b)));

    const double width = size.width();
    const double x0 = 0.06 * width;
    const double scale = std::max((0.97 * width - x0) / horizontalExtent, 0.001);
    const double cy = 0.58 * size.height() + scale * sin42 * 0.5;
    const bool dark = 0.299 * background.r + 0.587 * background.g + 0.114 * background.b < 128;

    DrawPenOptions options;
    options.beads = canvas.pen.beadSpecs();
    options.dark = dark;
    if (const BarrelSpec* barrel = barrelById(canvas.pen.barrel))
        options.barrel = *barrel;
    options.type = canvas.pen.type;
    options.ink = canvas.pen.ink;
    options.angle = wallpaperAngle;
    options.pixelScale = pixelScale(scale, devicePixelRatio);
    // A wallpaper is painted once; its large parts would only crowd the cache.
    options.cacheParts = false;

    painter.save();
    painter.translate(x0, cy);
    painter.scale(scale, scale);
    painter.rotate(wallpaperAngle * 180 / std::numbers::pi);
    drawPen(painter, options);
    painter.restore();

    drawCharm(painter, QPointF(x0 + scale * cos42, cy - scale * sin42), scale, 0, canvas.pen.charm,
              penPalette(dark), options.pixelScale);
}

QSize wallpaperPixelSize() {
    const QScreen* screen = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                                ? QGuiApplication::primaryScreen()
                                : nullptr;
    if (!screen)
        return {2560, 1600};
    const double ratio = screen->devicePixelRatio() > 0 ? screen->devicePixelRatio() : 2.0;
    const QSize points = screen->size();
    return {int(std::round(points.width() * ratio)), int(std::round(points.height() * ratio))};
}

std::optional<QImage> renderWallpaper(const WallpaperCanvas& canvas, double width, double height,
                                      double scale) {
    if (!(width > 0) || !(height > 0) || !(scale > 0))
        return std::nullopt;
    const double pixelWidth = std::round(width * scale);
    const double pixelHeight = std::round(height * scale);
    if (!(pixelWidth >= 1 && pixelHeight >= 1 && pixelWidth <= maxSide && pixelHeight <= maxSide))
        return std::nullopt;
    QImage image = allocateLargeImage(QSize(int(pixelWidth), int(pixelHeight)));
    if (image.isNull())
        return std::nullopt;
    image.setDevicePixelRatio(scale);
    const QSizeF size(width, height);
    // Taken once here: asking the image from several threads would race on
    // its bookkeeping.
    uchar* const pixels = image.bits();
    const auto paintRows = [&](int top, int bottom) {
        // A band of the image's own rows, painted as if it were the whole.
        QImage band(pixels + qsizetype(top) * image.bytesPerLine(), image.width(), bottom - top,
                    image.bytesPerLine(), image.format());
        band.setDevicePixelRatio(scale);
        QPainter painter(&band);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(0, -top / scale);
        paintWallpaper(painter, size, canvas, scale);
    };

    // Bands of rows are painted side by side on the global pool. From a pool
    // thread the engine also leaves each fill whole instead of splitting it
    // across the pool, which on few cores costs more than it saves.
    QThreadPool* pool = QThreadPool::globalInstance();
    const int bands = std::clamp(pool->maxThreadCount(), 1, 16);
    if (bands == 1 || image.height() < 64 * bands || pool->contains(QThread::currentThread())) {
        paintRows(0, image.height());
        return image;
    }
    QSemaphore finished;
    for (int i = 0; i < bands; ++i) {
        const int top = int(qint64(image.height()) * i / bands);
        const int bottom = int(qint64(image.height()) * (i + 1) / bands);
        pool->start([&, top, bottom] {
            paintRows(top, bottom);
            finished.release();
        });
    }
    // Every band refers to this frame, so all of them are waited for.
    finished.acquire(bands);
    return image;
}

} // namespace tessaro
