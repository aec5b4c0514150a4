#pragma once

#include "model/rgb.h"

#include <QColor>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>

#include <initializer_list>
#include <numbers>

namespace tessaro {

// The shapes and strokes the painters build their figures from.

inline constexpr double degree = std::numbers::pi / 180;
// Eyes, mouths and letters.
inline constexpr RGB faceInk{58, 58, 60};

QColor white(double opacity);

QPainterPath circle(QPointF centre, double radius);
// An ellipse of half-axes rx × ry, turned by `rotation` radians about its centre.
QPainterPath ellipse(QPointF centre, double rx, double ry, double rotation = 0);
QPainterPath polygon(std::initializer_list<QPointF> points);
// `count` points on a circle from `from` over `sweep` degrees, measured from
// +x towards +y.
QPolygonF arc(QPointF centre, double radius, double from, double sweep, int count);
// A solid stroke with miter joins (limit 10) and the given caps.
QPen strokePen(const QBrush& brush, double width, Qt::PenCapStyle cap = Qt::RoundCap);

} // namespace tessaro
