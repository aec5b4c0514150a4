#include "paintshapes.h"

#include <QTransform>

#include <algorithm>
#include <cmath>

namespace tessaro {

QColor white(double opacity) {
    return QColor::fromRgbF(1, 1, 1, float(std::clamp(opacity, 0.0, 1.0)));
}

QPainterPath circle(QPointF centre, double radius) {
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    return path;
}

QPainterPath ellipse(QPointF centre, double rx, double ry, double rotation) {
    QPainterPath path;
    path.addEllipse(QPointF(), rx, ry);
    QTransform place;
    place.translate(centre.x(), centre.y());
    place.rotateRadians(rotation);
    return place.map(path);
}

QPainterPath polygon(std::initializer_list<QPointF> points) {
    QPainterPath path;
    path.addPolygon(QPolygonF(points));
    path.closeSubpath();
    return path;
}

QPolygonF arc(QPointF centre, double radius, double from, double sweep, int count) {
    QPolygonF points;
    points.reserve(count);
    for (int i = 0; i < count; ++i) {
        const double a = (from + sweep * i / (count - 1)) * degree;
        points << centre + QPointF(radius * std::cos(a), radius * std::sin(a));
    }
    return points;
}

QPen strokePen(const QBrush& brush, double width, Qt::PenCapStyle cap) {
    QPen pen(brush, width, Qt::SolidLine, cap, Qt::MiterJoin);
    pen.setMiterLimit(10);
    return pen;
}

} // namespace tessaro
