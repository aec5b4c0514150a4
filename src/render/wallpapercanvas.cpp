#include "wallpapercanvas.h"

#include "render/charmpainter.h"
#include "render/largeimage.h"
#include "render/penlayout.h"
#include "render/penpainter.h"
#include "render/penpalette.h"
#include "render/renderpool.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tessaro {

namespace {

// The pen's tilt, back end up.
constexpr double tiltDegrees = -42;
constexpr double tilt = tiltDegrees * std::numbers::pi / 180;
// The tip's place and the reach of pen and charm, as parts of the width; the
// pen's vertical middle as a part of the height, a little below the centre.
constexpr double leftEdge = 0.06;
constexpr double rightEdge = 0.97;
constexpr double middle = 0.58;
// Larger images are refused rather than attempted: 16384² pixels is 1 GiB.
constexpr double maxSide = 16384;

} // namespace

PenLayout wallpaperLayout(QSizeF size) {
    // The pen's extent across and up the view, in pen units.
    const double across = penLength * std::cos(tilt);
    const double up = -penLength * std::sin(tilt);
    const double x0 = leftEdge * size.width();
    const double scale = std::max((rightEdge * size.width() - x0) / (across + charmRoom), 0.001);
    return {QPointF(x0, middle * size.height() + scale * up / 2), scale, tilt};
}

void paintWallpaper(QPainter& painter, QSizeF size, const WallpaperCanvas& canvas,
                    double devicePixelRatio) {
    const RGB background = rgbFromHex(canvas.bgHex);
    painter.fillRect(QRectF(QPointF(0, 0), size),
                     QColor::fromRgb(int(background.r), int(background.g), int(background.b)));

    const PenLayout layout = wallpaperLayout(size);
    const bool dark = 0.299 * background.r + 0.587 * background.g + 0.114 * background.b < 128;

    DrawPenOptions options;
    options.beads = canvas.pen.beadSpecs();
    options.dark = dark;
    if (const BarrelSpec* barrel = barrelById(canvas.pen.barrel))
        options.barrel = *barrel;
    options.type = penTypeFor(canvas.pen.type).type;
    options.ink = canvas.pen.ink;
    options.angle = layout.angle;
    options.pixelScale = pixelScale(layout.scale, devicePixelRatio);
    // A wallpaper is painted once; its large parts would only crowd the cache.
    options.cacheParts = false;

    painter.save();
    layout.apply(painter);
    drawPen(painter, options);
    painter.restore();

    drawCharm(painter, charmAnchor(layout), layout.scale, 0, canvas.pen.charm, penPalette(dark),
              options.pixelScale);
}

QSize wallpaperPixelSize(QSizeF screenPoints, double devicePixelRatio) {
    const double ratio =
        devicePixelRatio > 0 && std::isfinite(devicePixelRatio) ? devicePixelRatio : 2.0;
    const double width = std::round(screenPoints.width() * ratio);
    const double height = std::round(screenPoints.height() * ratio);
    // Far below what an int holds; renderWallpaper refuses what it cannot
    // allocate.
    constexpr double largest = 1 << 20;
    if (!(width >= 1 && height >= 1 && width <= largest && height <= largest))
        return defaultWallpaperPixelSize;
    return {int(width), int(height)};
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

    // Bands of rows are painted side by side, one for each thread that
    // paints.
    const int bands = std::clamp(renderPool().maxThreadCount() + 1, 1, 16);
    if (bands == 1 || image.height() < 64 * bands) {
        paintRows(0, image.height());
        return image;
    }
    runPieces(std::size_t(bands), [&](std::size_t i) {
        paintRows(int(qint64(image.height()) * qint64(i) / bands),
                  int(qint64(image.height()) * qint64(i + 1) / bands));
    });
    return image;
}

} // namespace tessaro
