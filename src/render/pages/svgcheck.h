#pragma once

#include <QByteArrayView>

namespace tessaro {

// The bounds of an SVG page.
inline constexpr qsizetype maxSvgBytes = 4 * 1024 * 1024;
inline constexpr int maxSvgElements = 20000;
inline constexpr int maxSvgDepth = 64;
// Elements drawn once every <use> is followed: a few kilobytes of nested
// references can otherwise ask for billions.
inline constexpr qint64 maxSvgDrawnElements = 100000;
inline constexpr int maxSvgImages = 8;
// Pixels of one image embedded in the page.
inline constexpr qint64 maxSvgImagePixels = 16 * 1024 * 1024;

// True when the bytes begin like an SVG document: markup whose first element
// is <svg>.
bool looksLikeSvg(QByteArrayView bytes);

// True when the bytes are well-formed SVG within the bounds above: element
// count, nesting, drawn elements through <use>, no entity declarations, and
// images only embedded as PNG or JPEG data of a bounded size (a page never
// reads another file of this machine).
bool isSafeSvg(QByteArrayView bytes);

} // namespace tessaro
