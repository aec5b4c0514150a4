#include "shadowlayer.h"

#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>

namespace tessaro {

namespace {

// Larger offscreen layers than this are cut down: nothing on a screen needs
// more, and the buffers stay bounded whatever the transform.
constexpr int maxSide = 8192;
// A Gaussian is spent after three standard deviations.
constexpr double reachInSigmas = 3;

std::atomic<std::uint64_t> rendered{0};

// Widths of three successive box blurs whose result approximates a Gaussian
// of standard deviation `sigma` (the variances of the boxes add up).
std::array<int, 3> boxWidths(double sigma) {
    constexpr int passes = 3;
    const double ideal = std::sqrt(12 * sigma * sigma / passes + 1);
    int lower = int(std::floor(ideal));
    if (lower % 2 == 0)
        --lower;
    lower = std::max(lower, 1);
    const int upper = lower + 2;
    const double lowerCount =
        (12 * sigma * sigma - passes * lower * lower - 4.0 * passes * lower - 3.0 * passes) /
        (-4.0 * lower - 4);
    const long m = std::lround(lowerCount);
    std::array<int, 3> widths{};
    for (int i = 0; i < passes; ++i)
        widths[std::size_t(i)] = i < m ? lower : upper;
    return widths;
}

// A centred box of odd `width` along one row; samples outside are transparent.
void boxRow(const float* src, float* dst, int n, int width) {
    const int half = width / 2;
    const float scale = 1.0f / float(width);
    float sum = 0;
    for (int j = 0; j < std::min(half, n); ++j)
        sum += src[j];
    for (int i = 0; i < n; ++i) {
        if (i + half < n)
            sum += src[i + half];
        dst[i] = sum * scale;
        if (i - half >= 0)
            sum -= src[i - half];
    }
}

// The same box down the columns, a whole row at a time so memory is read in
// order.
void boxColumns(const float* src, float* dst, float* sums, int w, int h, int width) {
    const int half = width / 2;
    const float scale = 1.0f / float(width);
    std::fill(sums, sums + w, 0.0f);
    auto add = [&](int row, float sign) {
        const float* line = src + std::ptrdiff_t(row) * w;
        for (int x = 0; x < w; ++x)
            sums[x] += sign * line[x];
    };
    for (int j = 0; j < std::min(half, h); ++j)
        add(j, 1);
    for (int y = 0; y < h; ++y) {
        if (y + half < h)
            add(y + half, 1);
        float* out = dst + std::ptrdiff_t(y) * w;
        for (int x = 0; x < w; ++x)
            out[x] = sums[x] * scale;
        if (y - half >= 0)
            add(y - half, -1);
    }
}

} // namespace

std::uint64_t ShadowLayer::shadowsRendered() {
    return rendered.load(std::memory_order_relaxed);
}

void ShadowLayer::draw(QPainter& painter, const QRectF& bounds, const Paint& paint,
                       const QColor& colour, double blurRadius, QPointF offset) {
    const bool drawn = colour.alpha() > 0 && painter.device() &&
                       renderShadow(painter, bounds, paint, colour, blurRadius, offset);
    if (!drawn)
        paint(painter);
}

bool ShadowLayer::renderShadow(QPainter& painter, const QRectF& bounds, const Paint& paint,
                               const QColor& colour, double blurRadius, QPointF offset) {
    const QTransform toDevice = painter.deviceTransform();
    // A line's bounds may have no height; only unusable numbers stop here.
    const QRectF box = bounds.normalized();
    if (!toDevice.isInvertible() || !std::isfinite(blurRadius) || box.isNull())
        return false;
    // A length in painter units as device pixels: the mean scale of the map.
    const double unit = std::sqrt(std::fabs(toDevice.determinant()));
    // Past a few thousand pixels a blur is an even haze; capping it keeps
    // every later length well inside int.
    const double sigma = std::min(std::max(0.0, blurRadius) * unit, 2048.0);
    if (!std::isfinite(sigma))
        return false;
    const bool blur = sigma > 0.5;
    const double reach = blur ? std::ceil(reachInSigmas * sigma) + 1 : 1;

    const QPointF exactShift = toDevice.map(offset) - toDevice.map(QPointF());
    if (!std::isfinite(exactShift.x()) || !std::isfinite(exactShift.y()) ||
        std::fabs(exactShift.x()) > 1e9 || std::fabs(exactShift.y()) > 1e9)
        return false;
    // Whole device pixels: the blit stays a plain copy, and a blurred shadow
    // hides the rounding.
    const QPointF shift(std::round(exactShift.x()), std::round(exactShift.y()));
    const QRectF source = toDevice.mapRect(box).adjusted(-reach, -reach, reach, reach);
    if (!std::isfinite(source.left()) || !std::isfinite(source.right()) ||
        !std::isfinite(source.top()) || !std::isfinite(source.bottom()))
        return false;

    // Only the part of the content whose shadow can land on the device is
    // rendered. QImage reports its size in device pixels and widgets in
    // logical ones; the larger reading is the safe bound.
    const QPaintDevice* device = painter.device();
    const double ratio = std::max(1.0, device->devicePixelRatio());
    const QRectF visible =
        QRectF(0, 0, std::ceil(device->width() * ratio), std::ceil(device->height() * ratio))
            .translated(-shift)
            .adjusted(-reach, -reach, reach, reach);
    QRectF wanted = source.intersected(visible);
    wanted = wanted.intersected(QRectF(wanted.left(), wanted.top(), maxSide, maxSide));
    constexpr double farAway = 1 << 30;
    if (wanted.isEmpty() || std::fabs(wanted.left()) > farAway || std::fabs(wanted.top()) > farAway)
        return false;
    const QRect area(
        QPoint(int(std::floor(wanted.left())), int(std::floor(wanted.top()))),
        QPoint(int(std::ceil(wanted.right())) - 1, int(std::ceil(wanted.bottom())) - 1));
    // A wide blur loses nothing when it runs at a fraction of the
    // resolution and is scaled back up smoothly; it saves most of the work.
    const int factor = sigma >= 6 ? std::min(16, int(sigma / 3)) : 1;
    // When the offscreen content is whole and sharp, copying it is the same
    // picture as painting it again, and much cheaper. Under a group opacity
    // overlapping parts would blend differently, so then it is painted.
    const bool reuseContent = factor == 1 && wanted == source && painter.opacity() >= 1;
    const int w = std::clamp((area.width() + factor - 1) / factor, 0, maxSide);
    const int h = std::clamp((area.height() + factor - 1) / factor, 0, maxSide);
    if (w <= 0 || h <= 0)
        return false;

    if (m_content.width() != w || m_content.height() != h)
        m_content = QImage(w, h, QImage::Format_ARGB32_Premultiplied);
    if (m_content.isNull())
        return false;
    m_content.setDevicePixelRatio(1);
    m_content.fill(Qt::transparent);
    {
        QPainter layer(&m_content);
        layer.setRenderHints(painter.renderHints());
        layer.setTransform(toDevice * QTransform::fromTranslate(-area.left(), -area.top()) *
                           QTransform::fromScale(1.0 / factor, 1.0 / factor));
        paint(layer);
    }
    rendered.fetch_add(1, std::memory_order_relaxed);

    const std::size_t pixels = std::size_t(w) * std::size_t(h);
    if (m_scratch.size() < 2 * pixels + std::size_t(w))
        m_scratch.resize(2 * pixels + std::size_t(w));
    float* alpha = m_scratch.data();
    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(m_content.constScanLine(y));
        float* out = alpha + std::ptrdiff_t(y) * w;
        for (int x = 0; x < w; ++x)
            out[x] = float(qAlpha(line[x])) * (1.0f / 255);
    }
    if (blur)
        blurAlpha(w, h, sigma / factor);

    if (m_shadow.size() != m_content.size())
        m_shadow = QImage(w, h, QImage::Format_ARGB32_Premultiplied);
    if (m_shadow.isNull())
        return false;

    // Tint: the colour, premultiplied, times the blurred coverage.
    const float a = float(colour.alphaF());
    const float red = float(colour.redF()) * a * 255;
    const float green = float(colour.greenF()) * a * 255;
    const float blue = float(colour.blueF()) * a * 255;
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(m_shadow.scanLine(y));
        const float* in = alpha + std::ptrdiff_t(y) * w;
        for (int x = 0; x < w; ++x) {
            const float c = std::clamp(in[x], 0.0f, 1.0f);
            line[x] = qRgba(int(red * c + 0.5f), int(green * c + 0.5f), int(blue * c + 0.5f),
                            int(a * 255 * c + 0.5f));
        }
    }

    painter.save();
    painter.resetTransform();
    const QTransform fromDevice = painter.deviceTransform().inverted();
    const QRectF target =
        fromDevice.mapRect(QRectF(area.topLeft() + shift, QSizeF(w * factor, h * factor)));
    painter.setRenderHint(QPainter::SmoothPixmapTransform, factor > 1);
    painter.drawImage(target, m_shadow);
    if (reuseContent)
        painter.drawImage(fromDevice.mapRect(QRectF(area)), m_content);
    painter.restore();
    if (!reuseContent)
        paint(painter);
    return true;
}

void ShadowLayer::blurAlpha(int w, int h, double sigma) {
    float* a = m_scratch.data();
    float* b = a + std::size_t(w) * std::size_t(h);
    float* sums = b + std::size_t(w) * std::size_t(h);
    const std::array<int, 3> widths = boxWidths(sigma);
    for (int y = 0; y < h; ++y) {
        float* rowA = a + std::ptrdiff_t(y) * w;
        float* rowB = b + std::ptrdiff_t(y) * w;
        boxRow(rowA, rowB, w, widths[0]);
        boxRow(rowB, rowA, w, widths[1]);
        boxRow(rowA, rowB, w, widths[2]);
    }
    boxColumns(b, a, sums, w, h, widths[0]);
    boxColumns(a, b, sums, w, h, widths[1]);
    boxColumns(b, a, sums, w, h, widths[2]);
}

} // namespace tessaro
