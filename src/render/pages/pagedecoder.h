#pragma once

#include "pageformat.h"

#include <QByteArray>
#include <QImage>

#include <optional>

namespace tessaro {

// What a page file holds, read from its content, never from its name.
enum class PageKind { strokes, svg, png, jpeg };

// The largest page file of any kind that is read.
inline constexpr qsizetype maxPageBytes = 16 * 1024 * 1024;
// An image page is refused when its header promises more pixels than this,
// and decoded to at most `maxPageImageSide` on its longer side.
inline constexpr qint64 maxPageImagePixels = 40000000;
inline constexpr int maxPageImageSide = 4096;
// What any one image decode of this program may allocate, in megabytes.
inline constexpr int imageAllocationLimitMB = 128;

std::optional<PageKind> detectPageKind(QByteArrayView bytes);

// A page read from its file, ready to render: strokes, the checked bytes of
// an SVG document (renderers are made where they draw, so that a page may be
// decoded on one thread and drawn on another), or an image.
struct Page {
    PageKind kind = PageKind::strokes;
    StrokePage strokes;
    QByteArray svg;
    QImage image;
};

// Decodes a page file of any kind, within the bounds of each kind; none for
// anything else. Thread-safe; may take a while for a large file, so call it
// away from the GUI thread.
std::optional<Page> decodePage(QByteArrayView bytes);

// Caps what one image decode may allocate (QImageReader's allocation limit,
// which is process-wide): never raised, only lowered to the limit above.
void limitImageAllocations();

} // namespace tessaro
