#pragma once

#include "pagedecoder.h"

#include <QImage>
#include <QSizeF>

#include <optional>

class QPainter;

namespace tessaro {

// The largest page image ever made: a page asking for more (a page size of
// 1e308, a scale gone wrong) gets no image, and the viewer shows its
// placeholder instead.
inline constexpr int maxRenderSide = 8192;
inline constexpr qint64 maxRenderPixels = 24000000;
// The paper that pages lie on in the sheet.
inline constexpr QRgb paperColour = 0xFFFFF8F0;
// The longest sides tried for a thumbnail, in points, in order.
inline constexpr int thumbnailSides[] = {320, 160};

// Draws the page's content into the page rectangle (0, 0, size) of a
// painter that draws in page points, at `pixelsPerPoint` device pixels per
// point. Strokes are drawn where they lie; an SVG document or an image is
// fitted into the rectangle, centred, keeping its proportions.
void paintPage(QPainter& painter, const Page& page, QSizeF size, double pixelsPerPoint);

// The page as an opaque image of round(w × s) × round(h × s) pixels on white,
// whose size in points is w × h; null when w or h is not above 1 (or beyond
// any page, past 1e6), s not above 0, or the image would exceed the bounds
// above.
QImage renderPage(const Page& page, QSizeF size, double scale);

// A PNG thumbnail of at most 40,960 bytes (the drawing record's limit),
// 320 points on its longer side, else 160; none when neither fits or the
// page cannot be rendered.
std::optional<QByteArray> makeThumbnail(const Page& page, QSizeF size);

} // namespace tessaro
