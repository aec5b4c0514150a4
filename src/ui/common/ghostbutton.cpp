#include "ghostbutton.h"

#include "interfacecolours.h"

#include <QPainter>
#include <QPainterPath>

namespace tessaro {

GhostButton::GhostButton(const QString& text, QWidget* parent)
    : CapsuleButton(text, parent) {}

void GhostButton::setDisabledLook(bool disabledLook) {
    if (disabledLook == m_disabledLook)
        return;
    m_disabledLook = disabledLook;
    update();
}

void GhostButton::setDanger(bool danger) {
    if (danger == m_danger)
        return;
    m_danger = danger;
    update();
}

CapsuleButton::Look GhostButton::look() const {
    return {14, FontDesign::rounded, QFont::DemiBold, 14, 9};
}

QColor GhostButton::labelColour() const {
    const InterfacePalette& palette = interfacePalette();
    if (m_danger)
        return interfaceColour(palette.danger);
    return interfaceColour(m_disabledLook ? palette.textSoft : palette.textMain);
}

void GhostButton::paintCapsule(QPainter& painter, const QRectF& capsule) const {
    painter.fillPath(capsulePath(capsule), interfaceColour(interfacePalette().surface));
    // The border's stroke lies inside the capsule's edge.
    painter.setPen(QPen(interfaceColour(interfacePalette().line), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(capsulePath(capsule.adjusted(1, 1, -1, -1)));
}

} // namespace tessaro
