#include "pagesymbols.h"

#include <QPainter>
#include <QPainterPath>

namespace tessaro {

void paintScribble(QPainter& painter, const QRectF& box, const QColor& colour, double weight) {
    const double side = std::min(box.width(), box.height());
    const QRectF square(box.center() - QPointF(side / 2, side / 2), QSizeF(side, side));
    auto at = [&](double x, double y) {
        return QPointF(square.left() + x * side, square.top() + y * side);
    };
    QPainterPath path(at(0.08, 0.62));
    path.cubicTo(at(0.2, 0.2), at(0.38, 0.18), at(0.34, 0.5));
    path.cubicTo(at(0.3, 0.84), at(0.52, 0.86), at(0.58, 0.5));
    path.cubicTo(at(0.64, 0.16), at(0.84, 0.2), at(0.8, 0.48));
    path.cubicTo(at(0.77, 0.68), at(0.86, 0.74), at(0.94, 0.66));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour, std::max(1.0, side * 0.075 * weight), Qt::SolidLine, Qt::RoundCap,
                        Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
    painter.restore();
}

void paintArrowDownCircle(QPainter& painter, const QRectF& box, const QColor& colour) {
    const double side = std::min(box.width(), box.height());
    const double pen = std::max(1.0, side * 0.08);
    const QRectF circle = QRectF(box.center() - QPointF(side / 2, side / 2), QSizeF(side, side))
                              .adjusted(pen / 2, pen / 2, -pen / 2, -pen / 2);
    const QPointF c = circle.center();
    const double r = circle.width() / 2;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour, pen, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(circle);
    painter.drawLine(c + QPointF(0, -r * 0.5), c + QPointF(0, r * 0.45));
    painter.drawPolyline(QPolygonF({c + QPointF(-r * 0.32, r * 0.15), c + QPointF(0, r * 0.47),
                                    c + QPointF(r * 0.32, r * 0.15)}));
    painter.restore();
}

} // namespace tessaro
