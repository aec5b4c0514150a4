#pragma once

#include <QImage>
#include <QSize>

namespace tessaro {

// A premultiplied ARGB image for very large pictures such as wallpapers.
// Memory for those is asked for in huge pages where the system offers them:
// touching a fresh 5K image one small page at a time costs more than painting
// it. Smaller images, and systems without huge pages, get a plain QImage.
// Null when the memory is not there.
QImage allocateLargeImage(QSize size);

} // namespace tessaro
