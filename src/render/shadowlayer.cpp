#include "shadowlayer.h"

#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <new>

namespace tessaro {

namespace {

// Larger offscreen layers than this are cut down: nothing on a screen needs
// more, and the buffers stay bounded whatever the transform.
constexpr int maxSide = 8192;
// Wide blurs run at up to this fraction of the resolution.
constexpr int maxFactor = 16;
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
    const int factor = sigma >= 6 ? std::min(maxFactor, int(sigma / 3)) : 1;
    // When the offscreen content is whole and sharp, copying it is the same
    // picture as painting it again, and much cheaper. Under a group opacity
    // overlapping parts would blend differently, so then it is painted.
    const bool reuseContent = factor == 1 && wanted == source && painter.opacity() >= 1;
    const int w = std::clamp((area.width() + factor - 1) / factor, 0, maxSide);
    const int h = std::clamp((area.height() + factor - 1) / factor, 0, maxSide);
    if (w <= 0 || h <= 0)
        return false;

    m_content = view(m_contentPixels, w, h);
    if (m_content.isNull())
        return false;
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

    const int fullWidth = std::min(w * factor, maxSide);
    const int fullHeight = std::min(h * factor, maxSide);
    m_shadow = view(m_shadowPixels, fullWidth, fullHeight);
    if (m_shadow.isNull())
        return false;

    painter.save();
    painter.resetTransform();
    const QTransform fromDevice = painter.deviceTransform().inverted();
    const QPoint corner = area.topLeft() + shift.toPoint();
    // The shadow is tinted at full resolution, band by band, and copied
    // pixel for pixel: only where it has any colour, which for a pen lying
    // at an angle is a small part of its bounding box.
    tintBands(alpha, w, h, factor, colour, [&](const QRect& band) {
        painter.drawImage(fromDevice.mapRect(QRectF(band.translated(corner))), m_shadow,
                          QRectF(band));
    });
    if (reuseContent)
        painter.drawImage(fromDevice.mapRect(QRectF(area)), m_content);
    painter.restore();
    if (!reuseContent)
        paint(painter);
    return true;
}

void ShadowLayer::tintBands(const float* alpha, int w, int h, int factor, const QColor& colour,
                            const std::function<void(const QRect&)>& copy) {
    // Every coverage level's premultiplied pixel, looked up rather than
    // computed for each pixel.
    std::array<QRgb, 256> shades{};
    const float a = float(colour.alphaF());
    for (int level = 0; level < 256; ++level) {
        const float c = float(level) / 255 * a;
        shades[std::size_t(level)] =
            qRgba(int(float(colour.redF()) * c * 255 + 0.5f),
                  int(float(colour.greenF()) * c * 255 + 0.5f),
                  int(float(colour.blueF()) * c * 255 + 0.5f), int(c * 255 + 0.5f));
    }
    const auto shade = [&](float coverage) {
        return shades[std::size_t(std::clamp(coverage, 0.0f, 1.0f) * 255 + 0.5f)];
    };

    // Where each row of the small blur has anything to show.
    m_extents.assign(std::size_t(h), {w, -1});
    constexpr float invisible = 0.5f / 255;
    for (int y = 0; y < h; ++y) {
        const float* row = alpha + std::ptrdiff_t(y) * w;
        int lo = 0;
        while (lo < w && row[lo] < invisible)
            ++lo;
        int hi = w - 1;
        while (hi >= lo && row[hi] < invisible)
            --hi;
        m_extents[std::size_t(y)] = {lo, hi};
    }

    const int fullWidth = m_shadow.width();
    const int fullHeight = m_shadow.height();
    const auto source = [&](int y) {
        const float v = std::clamp((float(y) + 0.5f) / float(factor) - 0.5f, 0.0f, float(h - 1));
        return std::pair{std::min(int(v), h - 1), v - float(std::min(int(v), h - 1))};
    };
    // Across a row, output pixel x = j · factor + k lies between small pixels
    // j + step[k] and the next one, at weight[k] from the first: the same for
    // every j, so worked out once.
    std::array<int, maxFactor> step{};
    std::array<float, maxFactor> weight{};
    for (int k = 0; k < factor; ++k) {
        const float at = (float(k) + 0.5f) / float(factor) - 0.5f;
        step[std::size_t(k)] = at < 0 ? -1 : 0;
        weight[std::size_t(k)] = at < 0 ? at + 1 : at;
    }
    m_row.resize(std::size_t(w));
    constexpr int bandRows = 8;
    for (int top = 0; top < fullHeight; top += bandRows) {
        const int bottom = std::min(top + bandRows, fullHeight);
        int lo = w;
        int hi = -1;
        for (int y = source(top).first; y <= std::min(source(bottom - 1).first + 1, h - 1); ++y) {
            lo = std::min(lo, m_extents[std::size_t(y)].first);
            hi = std::max(hi, m_extents[std::size_t(y)].second);
        }
        if (hi < lo)
            continue;
        // Interpolation reaches one small pixel beyond the last coloured one.
        const int x0 = std::max(0, (lo - 1) * factor);
        const int x1 = std::min(fullWidth, (hi + 2) * factor);
        for (int y = top; y < bottom; ++y) {
            auto* line = reinterpret_cast<QRgb*>(m_shadow.scanLine(y));
            if (factor == 1) {
                const float* in = alpha + std::ptrdiff_t(y) * w;
                for (int x = x0; x < x1; ++x)
                    line[x] = shade(in[x]);
                continue;
            }
            // Bilinear: blend two rows of the small blur, then spread the
            // row out.
            const auto [y0, wy] = source(y);
            const float* upper = alpha + std::ptrdiff_t(y0) * w;
            const float* lower = alpha + std::ptrdiff_t(std::min(y0 + 1, h - 1)) * w;
            const int from = std::max(0, lo - 1);
            const int to = std::min(w - 1, hi + 1);
            float* row = m_row.data();
            for (int x = from; x <= to; ++x)
                row[x] = upper[x] + (lower[x] - upper[x]) * wy;
            int j = x0 / factor;
            int k = x0 % factor;
            for (int x = x0; x < x1; ++x) {
                const int left = j + step[std::size_t(k)];
                float coverage;
                if (left < from)
                    coverage = row[from];
                else if (left >= to)
                    coverage = row[to];
                else
                    coverage = row[left] + (row[left + 1] - row[left]) * weight[std::size_t(k)];
                line[x] = shade(coverage);
                if (++k == factor) {
                    k = 0;
                    ++j;
                }
            }
        }
        copy(QRect(QPoint(x0, top), QPoint(x1 - 1, bottom - 1)));
    }
}

QImage ShadowLayer::view(std::vector<QRgb>& pixels, int w, int h) {
    const std::size_t needed = std::size_t(w) * std::size_t(h);
    if (pixels.size() < needed) {
        try {
            pixels.resize(needed);
        } catch (const std::bad_alloc&) {
            return {};
        }
    }
    return QImage(reinterpret_cast<uchar*>(pixels.data()), w, h, qsizetype(w) * 4,
                  QImage::Format_ARGB32_Premultiplied);
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
