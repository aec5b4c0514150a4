#include "penlayout.h"

#include "model/catalog.h"
#include "model/pen.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tessaro {

namespace {

constexpr double narrowAngle = -std::numbers::pi / 5; // -36°
constexpr double wideAngle = -std::numbers::pi / 9;   // -20°

double stageAngle(double width) {
    return width < 560 ? narrowAngle : wideAngle;
}

} // namespace

QPointF PenLayout::map(QPointF p) const {
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    return origin + scale * QPointF(p.x() * c - p.y() * s, p.x() * s + p.y() * c);
}

void PenLayout::apply(QPainter& painter) const {
    painter.translate(origin);
    painter.scale(scale, scale);
    painter.rotate(angle * 180 / std::numbers::pi);
}

StageFit fitStage(double width) {
    const double angle = stageAngle(width);
    const double scale =
        std::max((width - 12 - 10) / (penLength * std::cos(angle) + charmRoom), 0.01);
    const double topEnd = 0.62 * maxThick * scale - penLength * std::sin(angle) * scale;
    const double topBead = beadR * scale - 890 * std::sin(angle) * scale;
    const double top = std::max(topEnd, topBead);
    const double below = 0.6 * maxThick * scale + 18;
    const double height = std::round(below + top + 10);
    return {{QPointF(12, height - below), scale, angle}, height};
}

PenLayout fitArtwork(double width, double height, std::optional<double> angle, bool withCharm) {
    const double a = angle.value_or(stageAngle(width));
    const double margin = withCharm ? charmRoom : 30;
    const double scale = std::max((width - 8) / (penLength * std::cos(a) + margin), 0.001);
    const double ty = (height - penLength * std::sin(a) * scale) / 2;
    return {QPointF(4, ty), scale, a};
}

PenLayout thumbLayout(double width, double height) {
    const double scale = width / 1024;
    return {QPointF(12 * scale, height / 2), scale, 0};
}

double slotCentre(int index, std::optional<int> gap) {
    const double shift = gap && index >= *gap ? slotPitch : 0;
    return firstSlotX + slotPitch * index + shift;
}

std::optional<int> dropGap(int beadCount, int targetSlot) {
    // A full pen has no room to open.
    if (beadCount >= maxBeadsPerPen)
        return std::nullopt;
    return std::clamp(targetSlot, 0, beadCount);
}

std::optional<int> slotAt(int beadCount, QPointF viewPoint, const PenLayout& layout) {
    if (!(layout.scale > 0))
        return std::nullopt;
    const QPointF d = (viewPoint - layout.origin) / layout.scale;
    const double c = std::cos(layout.angle);
    const double s = std::sin(layout.angle);
    const double lx = d.x() * c + d.y() * s;
    const double ly = d.y() * c - d.x() * s;
    for (int i = beadCount - 1; i >= 0; --i)
        if (std::hypot(lx - slotCentre(i), ly) <= catchRadius)
            return i;
    return std::nullopt;
}

std::pair<double, double> barrelSpan(PenType type) {
    switch (type) {
    case PenType::pencil:
        break;
    case PenType::ballpoint:
        return {150, 984};
    case PenType::gel:
        return {130, 1000};
    case PenType::fountain:
        return {200, 1000};
    case PenType::brush:
        return {210, 1000};
    case PenType::highlighter:
        return {90, 1000};
    case PenType::mechanical:
        return {220, 1000};
    }
    return {92, 1000};
}

QPointF charmAnchor(const PenLayout& layout) {
    return layout.map(QPointF(penLength, 0));
}

double pixelScale(double layoutScale, double devicePixelRatio) {
    return layoutScale * (devicePixelRatio > 0 ? devicePixelRatio : 2.0);
}

} // namespace tessaro
