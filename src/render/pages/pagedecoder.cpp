#include "pagedecoder.h"

#include "svgcheck.h"

#include <QBuffer>
#include <QImageReader>

#include <mutex>

namespace tessaro {

namespace {

std::optional<QImage> decodeImage(QByteArrayView bytes, const char* format) {
    limitImageAllocations();
    QByteArray data = QByteArray::fromRawData(bytes.data(), bytes.size());
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty()
        || qint64(size.width()) * size.height() > maxPageImagePixels)
        return std::nullopt;
    // Nothing draws a page larger than this; a JPEG decodes straight to it.
    if (std::max(size.width(), size.height()) > maxPageImageSide)
        reader.setScaledSize(size.scaled(maxPageImageSide, maxPageImageSide, Qt::KeepAspectRatio));
    QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    return image;
}

} // namespace

void limitImageAllocations() {
    static std::once_flag once;
    std::call_once(once, [] {
        const int current = QImageReader::allocationLimit();
        if (current == 0 || current > imageAllocationLimitMB)
            QImageReader::setAllocationLimit(imageAllocationLimitMB);
    });
}

std::optional<PageKind> detectPageKind(QByteArrayView bytes) {
    if (bytes.startsWith("\x89PNG\r\n\x1a\n"))
        return PageKind::png;
    if (bytes.startsWith("\xFF\xD8\xFF"))
        return PageKind::jpeg;
    if (looksLikeStrokePage(bytes))
        return PageKind::strokes;
    if (looksLikeSvg(bytes))
        return PageKind::svg;
    return std::nullopt;
}

std::optional<Page> decodePage(QByteArrayView bytes) {
    if (bytes.size() > maxPageBytes)
        return std::nullopt;
    const auto kind = detectPageKind(bytes);
    if (!kind)
        return std::nullopt;
    Page page;
    page.kind = *kind;
    switch (*kind) {
    case PageKind::strokes: {
        auto strokes = parseStrokePage(bytes);
        if (!strokes)
            return std::nullopt;
        page.strokes = std::move(*strokes);
        break;
    }
    case PageKind::svg:
        if (!isSafeSvg(bytes))
            return std::nullopt;
        page.svg = bytes.toByteArray();
        break;
    case PageKind::png:
    case PageKind::jpeg: {
        auto image = decodeImage(bytes, *kind == PageKind::png ? "png" : "jpeg");
        if (!image)
            return std::nullopt;
        page.image = std::move(*image);
        break;
    }
    }
    return page;
}

} // namespace tessaro
