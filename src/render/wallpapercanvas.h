#pragma once

#include "model/pen.h"
#include "render/penlayout.h"

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

// Where the pen lies on a wallpaper of `size` points: tilted up by 42°, its
// tip near the left edge, its back end and charm reaching across the width.
PenLayout wallpaperLayout(QSizeF size);

// Paints the canvas into a `size` of points on a device of that pixel ratio.
void paintWallpaper(QPainter& painter, QSizeF size, const WallpaperCanvas& canvas,
                    double devicePixelRatio);

// What a caller without a screen renders: a common laptop panel.
inline constexpr QSize defaultWallpaperPixelSize(2560, 1600);

// The size in device pixels of a screen `screenPoints` large at
// `devicePixelRatio` (2 when that is not positive). The screen is the window
// layer's to ask for; a screen without a usable size gives the default.
QSize wallpaperPixelSize(QSizeF screenPoints, double devicePixelRatio);

// The canvas laid out at width × height points and rendered at `scale`;
// none for a size or scale that is not positive, or too large to allocate.
std::optional<QImage> renderWallpaper(const WallpaperCanvas& canvas, double width, double height,
                                      double scale);

} // namespace tessaro
