#pragma once

#include <QByteArrayView>
#include <QImage>

namespace tessaro {

// The largest side of a thumbnail that is read; the program makes them 320
// points long.
inline constexpr int maxThumbnailSide = 1024;

// The snapshot's drawing, which comes from other devices: a PNG of at most
// snapshotDrawingBytes and maxThumbnailSide on each side, read within an
// allocation limit. A null image for anything else.
QImage decodeDrawingThumbnail(QByteArrayView png);

} // namespace tessaro
