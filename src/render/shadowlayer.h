#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

class QPainter;

namespace tessaro {

// Draws what `paint` paints together with its blurred, tinted shadow, the
// way a layer with a shadow filter does: the content is rendered into an
// offscreen image at device resolution, covering only the area the shadow can
// reach; its alpha is blurred with a fast separable approximation of a
// Gaussian of `blurRadius` (in the painter's current units), tinted with
// `colour`, composited at `offset`, and the content is drawn over it.
//
// Keep one ShadowLayer per picture and reuse it between frames: its buffers
// are kept, so a steady frame allocates nothing.
class ShadowLayer {
public:
    using Paint = std::function<void(QPainter&)>;

    // `bounds` is the content's extent in the painter's current coordinates.
    void draw(QPainter& painter, const QRectF& bounds, const Paint& paint, const QColor& colour,
              double blurRadius, QPointF offset = {});

    // How many shadows have been rendered offscreen in this process; lets
    // tests see that small pictures take the cheap path.
    static std::uint64_t shadowsRendered();

private:
    // Draws the shadow and the content; false when nothing could be drawn.
    bool renderShadow(QPainter& painter, const QRectF& bounds, const Paint& paint,
                      const QColor& colour, double blurRadius, QPointF offset);
    void blurAlpha(int width, int height, double sigma);
    // An image over `pixels`, which only ever grow: layers of every size
    // share them, and nothing is allocated once the largest has been seen.
    static QImage view(std::vector<QRgb>& pixels, int width, int height);
    // Tints the blurred coverage with `colour` into m_shadow, scaled up by
    // `factor`, and hands each band of rows that shows anything to `copy`.
    void tintBands(const float* alpha, int width, int height, int factor, const QColor& colour,
                   const std::function<void(const QRect&)>& copy);

    std::vector<QRgb> m_contentPixels;
    std::vector<QRgb> m_shadowPixels;
    QImage m_content;
    QImage m_shadow;
    std::vector<float> m_scratch;
    std::vector<std::pair<int, int>> m_extents;
    std::vector<float> m_row;
};

} // namespace tessaro
