#include "wallpaperpreview.h"

#include "ui/common/interfacecolours.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace tessaro {

namespace {

constexpr double cornerRadius = 22;
constexpr double outline = 2;

} // namespace

WallpaperPreview::WallpaperPreview(const WallpaperCanvas& canvas, QWidget* parent)
    : QWidget(parent)
    , m_canvas(canvas)
    , m_aspect(defaultWallpaperPixelSize) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAccessibleName(canvas.bgHex);
    new AppearanceWatch(this, [this] { update(); });
}

void WallpaperPreview::setBackground(const QString& hex) {
    if (hex == m_canvas.bgHex)
        return;
    m_canvas.bgHex = hex;
    setAccessibleName(hex);
    update();
}

void WallpaperPreview::setAspect(QSize pixelSize) {
    if (pixelSize.isEmpty() || pixelSize == m_aspect)
        return;
    m_aspect = pixelSize;
    update();
}

QRectF WallpaperPreview::frame() const {
    const QSizeF room = QSizeF(size()) - QSizeF(2 * outline, 2 * outline);
    if (room.isEmpty())
        return {};
    // Whole points, so that the picture meets the screen's pixels.
    const QSizeF fitted = QSizeF(m_aspect).scaled(room, Qt::KeepAspectRatio);
    const QSizeF whole(std::floor(fitted.width()), std::floor(fitted.height()));
    return {QPointF(std::round((width() - whole.width()) / 2),
                    std::round((height() - whole.height()) / 2)),
            whole};
}

QSize WallpaperPreview::sizeHint() const {
    return {480, 300};
}

QSize WallpaperPreview::minimumSizeHint() const {
    return {160, 100};
}

void WallpaperPreview::paintEvent(QPaintEvent*) {
    const QRectF area = frame();
    if (area.isEmpty())
        return;
    const double ratio = devicePixelRatioF();
    const QSize pixels = (area.size() * ratio).toSize();
    // A preview is small enough to paint here; the full size is painted
    // away from the window's thread.
    if (m_picture.size() != pixels || m_pictureBackground != m_canvas.bgHex) {
        m_picture = renderWallpaper(m_canvas, area.width(), area.height(), ratio).value_or(QImage());
        m_pictureBackground = m_canvas.bgHex;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath rounded;
    rounded.addRoundedRect(area, cornerRadius, cornerRadius);
    painter.save();
    painter.setClipPath(rounded);
    painter.drawImage(area.topLeft(), m_picture);
    painter.restore();
    painter.setPen(QPen(interfaceColour(interfacePalette().line), outline));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(rounded);
}

} // namespace tessaro
