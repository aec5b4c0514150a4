#include "drawingthumbnail.h"

#include "model/pensnapshot.h"

#include <QBuffer>
#include <QImageReader>

#include <mutex>

namespace tessaro {

namespace {

// Enough for the largest thumbnail that is read, in any pixel format.
constexpr int allocationLimitMB = 32;

void limitImageAllocations() {
    static std::once_flag once;
    std::call_once(once, [] {
        const int current = QImageReader::allocationLimit();
        if (current == 0 || current > allocationLimitMB)
            QImageReader::setAllocationLimit(allocationLimitMB);
    });
}

} // namespace

QImage decodeDrawingThumbnail(QByteArrayView png) {
    if (png.size() > snapshotDrawingBytes || !png.startsWith("\x89PNG\r\n\x1a\n"))
        return {};
    limitImageAllocations();
    QByteArray data = QByteArray::fromRawData(png.data(), png.size());
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    reader.setDecideFormatFromContent(false);
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty() || size.width() > maxThumbnailSide ||
        size.height() > maxThumbnailSide)
        return {};
    return reader.read();
}

} // namespace tessaro
