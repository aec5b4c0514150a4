#include "candybutton.h"

#include "easing.h"
#include "interfacecolours.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace tessaro {

namespace {

constexpr double sinkDepth = 2;
constexpr double restingLedgeOffset = 4;
constexpr double restingLedgeOpacity = 0.25;
constexpr int pressMilliseconds = 80;
const QColor ledgeColour(200, 120, 140);

} // namespace

CandyButton::CandyButton(const QString& text, QWidget* parent)
    : CapsuleButton(text, parent) {
    m_press.setStartValue(0.0);
    m_press.setEndValue(1.0);
    m_press.setDuration(pressMilliseconds);
    m_press.setEasingCurve(easeOut());
    connect(&m_press, &QVariantAnimation::valueChanged, this, [this] { update(); });
}

void CandyButton::setCompact(bool compact) {
    if (compact == m_compact)
        return;
    m_compact = compact;
    updateGeometry();
    update();
}

double CandyButton::pressProgress() const {
    return m_from + (m_to - m_from) * m_press.currentValue().toDouble();
}

double CandyButton::capsuleOffset() const {
    return sinkDepth * pressProgress();
}

double CandyButton::ledgeOpacity() const {
    return restingLedgeOpacity * (1 - pressProgress());
}

double CandyButton::ledgeOffset() const {
    return restingLedgeOffset * (1 - pressProgress());
}

CapsuleButton::Look CandyButton::look() const {
    if (m_compact)
        return {14, FontDesign::rounded, QFont::DemiBold, 16, 9, restingLedgeOffset};
    return {15, FontDesign::rounded, QFont::DemiBold, 20, 12, restingLedgeOffset};
}

QColor CandyButton::labelColour() const {
    return interfaceColour(interfacePalette().accentText);
}

void CandyButton::paintCapsule(QPainter& painter, const QRectF& capsule) const {
    painter.setPen(Qt::NoPen);
    QColor ledge = ledgeColour;
    ledge.setAlphaF(float(ledgeOpacity()));
    painter.fillPath(capsulePath(capsule.translated(0, ledgeOffset())), ledge);

    const QPainterPath body = capsulePath(capsule);
    painter.fillPath(body, interfaceColour(interfacePalette().accent));
    QLinearGradient gloss(capsule.topLeft(), QPointF(capsule.left(), capsule.center().y()));
    gloss.setColorAt(0, Qt::white);
    gloss.setColorAt(1, QColor(255, 255, 255, 0));
    painter.fillPath(body, gloss);

    // The rim's stroke lies inside the capsule's edge.
    painter.setPen(QPen(QColor(255, 255, 255, 140), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(capsulePath(capsule.adjusted(1, 1, -1, -1)));
}

void CandyButton::paintEvent(QPaintEvent* event) {
    // Every change of the press repaints the button, from the pointer, the
    // keyboard, a loss of focus or setDown() alike: the paint starts the move.
    followPress();
    CapsuleButton::paintEvent(event);
}

void CandyButton::followPress() {
    if (isDown() == m_pressed)
        return;
    m_pressed = isDown();
    m_from = pressProgress();
    m_to = m_pressed ? 1 : 0;
    m_press.stop();
    m_press.start();
}

} // namespace tessaro
