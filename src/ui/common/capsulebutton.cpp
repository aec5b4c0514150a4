#include "capsulebutton.h"

#include "interfacecolours.h"

#include <QFocusEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace tessaro {

namespace {

// Room around the capsule for the focus ring.
constexpr double ringMargin = 3;
constexpr double ringWidth = 2;
constexpr double minimumScale = 0.8;

} // namespace

QPainterPath capsulePath(const QRectF& rect) {
    QPainterPath path;
    const double radius = std::min(rect.width(), rect.height()) / 2;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

LabelFit fitLabel(const QString& text, const QFont& font, double width, double minimumScale) {
    const QFontMetricsF metrics(font);
    const double natural = metrics.horizontalAdvance(text);
    if (natural <= width)
        return {1, text};
    if (natural * minimumScale <= width)
        return {width / natural, text};
    return {minimumScale, metrics.elidedText(text, Qt::ElideRight, width / minimumScale)};
}

CapsuleButton::CapsuleButton(const QString& text, QWidget* parent)
    : QAbstractButton(parent) {
    setText(text);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    new AppearanceWatch(this, [this] { update(); });
}

QSize CapsuleButton::sizeHint() const {
    const Look l = look();
    const QFontMetricsF metrics(labelFont());
    const double width = metrics.horizontalAdvance(text()) + 2 * (l.paddingX + ringMargin);
    const double height = metrics.height() + 2 * (l.paddingY + ringMargin) + l.below;
    return QSize(int(std::ceil(width)), int(std::ceil(height)));
}

QSize CapsuleButton::minimumSizeHint() const {
    const Look l = look();
    const QFontMetricsF metrics(labelFont());
    const double ellipsis = metrics.horizontalAdvance(QStringLiteral("M…")) * minimumScale;
    return QSize(int(std::ceil(ellipsis + 2 * (l.paddingX + ringMargin))), sizeHint().height());
}

LabelFit CapsuleButton::labelFit() const {
    return fitLabel(text(), labelFont(), restingCapsule().width() - 2 * look().paddingX,
                    minimumScale);
}

QFont CapsuleButton::labelFont() const {
    const Look l = look();
    return interfaceFont(l.fontSize, l.weight, l.design);
}

QRectF CapsuleButton::restingCapsule() const {
    return QRectF(rect()).adjusted(ringMargin, ringMargin, -ringMargin, -ringMargin - look().below);
}

void CapsuleButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(opacity() * (isEnabled() ? 1 : disabledOpacity()));
    const QRectF capsule = restingCapsule().translated(0, capsuleOffset());
    paintCapsule(painter, capsule);

    const LabelFit fit = labelFit();
    const QFont font = labelFont();
    const QFontMetricsF metrics(font);
    painter.save();
    painter.setFont(font);
    painter.setPen(labelColour());
    painter.translate(capsule.center());
    painter.scale(fit.scale, fit.scale);
    const double width = metrics.horizontalAdvance(fit.text);
    painter.drawText(QPointF(-width / 2, (metrics.ascent() - metrics.descent()) / 2), fit.text);
    painter.restore();

    if (m_focusRing && hasFocus()) {
        painter.setPen(QPen(interfaceColour(interfacePalette().textMain, 0.5), ringWidth));
        painter.setBrush(Qt::NoBrush);
        const double out = ringMargin - ringWidth / 2;
        painter.drawPath(capsulePath(capsule.adjusted(-out, -out, out, out)));
    }
}

void CapsuleButton::focusInEvent(QFocusEvent* event) {
    // Only keyboard users need to see where focus went; a window or popup
    // handing focus back keeps the ring as it was.
    if (event->reason() == Qt::MouseFocusReason)
        m_focusRing = false;
    else if (event->reason() != Qt::ActiveWindowFocusReason &&
             event->reason() != Qt::PopupFocusReason)
        m_focusRing = true;
    QAbstractButton::focusInEvent(event);
}

} // namespace tessaro
