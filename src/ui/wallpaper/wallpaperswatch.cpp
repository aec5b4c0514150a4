#include "wallpaperswatch.h"

#include "model/rgb.h"
#include "render/paintcolour.h"
#include "ui/common/interfacecolours.h"

#include <QPainter>
#include <QPainterPath>

namespace tessaro {

namespace {

constexpr int swatchHeight = 34;
constexpr double radius = 12;

} // namespace

WallpaperSwatch::WallpaperSwatch(const QString& hex, QWidget* parent)
    : QAbstractButton(parent)
    , m_hex(hex) {
    setCheckable(true);
    setAccessibleName(hex);
    setToolTip(hex);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    new AppearanceWatch(this, [this] { update(); });
}

QSize WallpaperSwatch::sizeHint() const {
    return {56, swatchHeight};
}

QSize WallpaperSwatch::minimumSizeHint() const {
    return {swatchHeight, swatchHeight};
}

void WallpaperSwatch::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const InterfacePalette& palette = interfacePalette();
    const double width = isSelected() ? 3 : 2;
    // The outline's stroke lies inside the shape's edge.
    const QRectF shape = QRectF(rect()).adjusted(width / 2, width / 2, -width / 2, -width / 2);
    painter.setBrush(toColor(rgbFromHex(m_hex)));
    painter.setPen(QPen(interfaceColour(isSelected() ? palette.accent : palette.line), width));
    painter.drawRoundedRect(shape, radius, radius);
    if (hasFocus()) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(interfaceColour(palette.accentText, 0.6), 1, Qt::DotLine));
        painter.drawRoundedRect(shape.adjusted(4, 4, -4, -4), radius - 4, radius - 4);
    }
}

} // namespace tessaro
