#include "pagerender.h"

#include "drawings/drawing.h"
#include "render/renderpool.h"
#include "strokepainter.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>
#include <QSvgRenderer>
#include <QThread>
#include <QXmlStreamReader>

#include <cmath>

namespace tessaro {

namespace {

// Rows of a band painted on a thread of its own, at the least.
constexpr int minBandRows = 128;

// Proportions beyond these are not a picture anyone drew.
constexpr double minContentSide = 1e-3;
constexpr double maxContentSide = 1e7;

bool isDrawableSize(QSizeF size) {
    return std::isfinite(size.width()) && std::isfinite(size.height())
           && size.width() >= minContentSide && size.height() >= minContentSide
           && size.width() <= maxContentSide && size.height() <= maxContentSide;
}

QRectF fitted(QSizeF content, QSizeF page) {
    const QSizeF size = content.scaled(page, Qt::KeepAspectRatio);
    return QRectF(QPointF((page.width() - size.width()) / 2, (page.height() - size.height()) / 2),
                  size);
}

void paintSvg(QPainter& painter, const QByteArray& svg, QSizeF page) {
    QSvgRenderer renderer;
    // No animation timer: the renderer lives on a thread without events.
    renderer.setFramesPerSecond(0);
    QXmlStreamReader reader(svg);
    if (!renderer.load(&reader) || !renderer.isValid())
        return;
    QRectF box = renderer.viewBoxF();
    if (!isDrawableSize(box.size()))
        box = QRectF(QPointF(), QSizeF(renderer.defaultSize()));
    if (!isDrawableSize(box.size()))
        return;
    renderer.setViewBox(box);
    renderer.render(&painter, fitted(box.size(), page));
}

} // namespace

void paintPage(QPainter& painter, const Page& page, QSizeF size, double pixelsPerPoint) {
    const QRectF rect(QPointF(), size);
    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    switch (page.kind) {
    case PageKind::strokes:
        paintStrokes(painter, page.strokes, pixelsPerPoint, rect);
        break;
    case PageKind::svg:
        painter.setRenderHint(QPainter::Antialiasing);
        paintSvg(painter, page.svg, size);
        break;
    case PageKind::png:
    case PageKind::jpeg:
        if (!page.image.isNull()) {
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(fitted(QSizeF(page.image.size()), size), page.image);
        }
        break;
    }
    painter.restore();
}

QImage renderPage(const Page& page, QSizeF size, double scale) {
    const double w = size.width();
    const double h = size.height();
    if (!(w > 1 && h > 1 && scale > 0) || !(w <= maxPageCoordinate && h <= maxPageCoordinate)
        || !std::isfinite(scale))
        return {};
    const double pixelWidth = std::round(w * scale);
    const double pixelHeight = std::round(h * scale);
    if (!(pixelWidth >= 1 && pixelHeight >= 1) || pixelWidth > maxRenderSide
        || pixelHeight > maxRenderSide || pixelWidth * pixelHeight > double(maxRenderPixels))
        return {};
    QImage image(int(pixelWidth), int(pixelHeight), QImage::Format_RGB32);
    if (image.isNull())
        return {};
    image.fill(Qt::white);
    const double sx = pixelWidth / w;
    const double sy = pixelHeight / h;
    const int rows = image.height();
    // A page of strokes is painted in bands side by side, each band an image
    // over its own rows of the page's memory; each band draws only the
    // strokes that reach it. Coverage at a band's edge comes out as it would
    // in one piece, so no seam shows.
    const int bands = page.kind == PageKind::strokes
                          ? std::clamp(rows / minBandRows, 1, 2 * QThread::idealThreadCount())
                          : 1;
    uchar* const bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    runPieces(std::size_t(bands), [&](std::size_t piece) {
        const int top = int(rows * qint64(piece) / bands);
        const int bottom = int(rows * qint64(piece + 1) / bands);
        QImage band(bits + top * stride, image.width(), bottom - top, stride, QImage::Format_RGB32);
        QPainter painter(&band);
        painter.translate(0, -top);
        painter.scale(sx, sy);
        if (bands == 1) {
            paintPage(painter, page, size, scale);
            return;
        }
        const QRectF visible(0, top / sy, w, (bottom - top) / sy);
        painter.setClipRect(visible);
        paintStrokes(painter, page.strokes, scale, visible);
    });
    image.setDevicePixelRatio(scale);
    return image;
}

std::optional<QByteArray> makeThumbnail(const Page& page, QSizeF size) {
    if (!(size.width() > 1 && size.height() > 1))
        return std::nullopt;
    for (const int side : thumbnailSides) {
        const QImage image = renderPage(page, size, side / std::max(size.width(), size.height()));
        if (image.isNull())
            return std::nullopt;
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "png");
        // The smallest file zlib makes: a thumbnail is small and made once.
        writer.setQuality(0);
        if (writer.write(image) && png.size() <= maxThumbnailBytes)
            return png;
    }
    return std::nullopt;
}

} // namespace tessaro
