#pragma once

#include "model/pen.h"

#include <QImage>
#include <QSize>

#include <optional>

class QPainter;

namespace tessaro {

// The current pen, large and tilted, on a plain background: a desktop picture.
struct WallpaperCanvas {
    Pen pen;
    QString bgHex = QStringLiteral("#FFF8F0");
};

// Paints the canvas into a `size` of points on a device of that pixel ratio.
void paintWallpaper(QPainter& painter, QSizeF size, const WallpaperCanvas& canvas,
                    double devicePixelRatio);

// The primary screen's size in device pixels; 2560 × 1600 without a screen.
QSize wallpaperPixelSize();

// The canvas laid out at width × height points and rendered at `scale`;
// none for a size or scale that is not positive, or too large to allocate.
std::optional<QImage> renderWallpaper(const WallpaperCanvas& canvas, double width, double height,
                                      double scale);

} // namespace tessaro
