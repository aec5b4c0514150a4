#include "easing.h"

#include <QPointF>

namespace tessaro {

namespace {

QEasingCurve bezier(QPointF first, QPointF second) {
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(first, second, QPointF(1, 1));
    return curve;
}

} // namespace

QEasingCurve easeIn() {
    return bezier(QPointF(0.42, 0), QPointF(1, 1));
}

QEasingCurve easeOut() {
    return bezier(QPointF(0, 0), QPointF(0.58, 1));
}

} // namespace tessaro
