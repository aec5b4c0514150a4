#include "quotecardbuttons.h"

#include "l10n/localization.h"
#include "quotecardlook.h"
#include "ui/common/interfacecolours.h"

#include <QFocusEvent>
#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

using namespace Qt::StringLiterals;

namespace tessaro {

bool focusFromKeyboard(Qt::FocusReason reason) {
    return reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
           reason == Qt::ShortcutFocusReason;
}

QuoteDeleteButton::QuoteDeleteButton(QWidget* parent)
    : QAbstractButton(parent) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    retranslate();
}

void QuoteDeleteButton::setArmed(bool armed) {
    if (armed == m_armed)
        return;
    m_armed = armed;
    retranslate();
}

void QuoteDeleteButton::retranslate() {
    setText(L(m_armed ? u"quotes.deleteConfirm"_s : u"quotes.delete"_s));
    setAccessibleName(text());
    update();
}

void QuoteDeleteButton::setCoveredUpTo(double x) {
    if (x == m_covered)
        return;
    m_covered = x;
    update();
}

bool QuoteDeleteButton::hitButton(const QPoint& pos) const {
    return pos.x() >= m_covered && rect().contains(pos);
}

void QuoteDeleteButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // Only the part the face has uncovered shows; the face lies over the rest.
    painter.setClipRect(QRectF(m_covered, 0, width() - m_covered, height()));
    const QRectF tile = QRectF(rect());
    painter.setPen(Qt::NoPen);
    painter.setBrush(interfaceColour(interfacePalette().danger, isDown() ? 0.8 : 1));
    painter.drawRoundedRect(tile, cardlook::radius, cardlook::radius);
    painter.setFont(cardlook::fonts().deleteLabel);
    painter.setPen(Qt::white);
    painter.drawText(tile.adjusted(6, 6, -6, -6), Qt::AlignCenter | Qt::TextWordWrap, text());
    if (m_focusRing && hasFocus()) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(Qt::white, 2));
        painter.drawRoundedRect(tile.adjusted(3, 3, -3, -3), cardlook::radius - 3,
                                cardlook::radius - 3);
    }
}

void QuoteDeleteButton::focusInEvent(QFocusEvent* event) {
    m_focusRing = focusFromKeyboard(event->reason());
    QAbstractButton::focusInEvent(event);
}

void QuoteDeleteButton::focusOutEvent(QFocusEvent* event) {
    m_focusRing = false;
    QAbstractButton::focusOutEvent(event);
}

SourceLink::SourceLink(QWidget* parent)
    : QAbstractButton(parent) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setFont(cardlook::fonts().link);
}

QSize SourceLink::sizeHint() const {
    const QFontMetricsF metrics(font());
    return {int(std::ceil(metrics.horizontalAdvance(text()))), int(std::ceil(metrics.height()))};
}

void SourceLink::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(font());
    // The accent's text colour is made for the accent's fill; on a dark card
    // it would vanish, and the accent itself reads there instead.
    const InterfacePalette& palette = interfacePalette();
    painter.setPen(interfaceColour(interfaceIsDark() ? palette.accent : palette.accentText,
                                   isDown() ? 0.6 : 1));
    const QFontMetricsF metrics(font());
    painter.drawText(QRectF(rect()), Qt::AlignLeft | Qt::AlignVCenter,
                     metrics.elidedText(text(), Qt::ElideRight, width()));
    if (m_focusRing && hasFocus()) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(interfaceColour(interfacePalette().accent), 1.5));
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.75, 0.75, -0.75, -0.75), 3, 3);
    }
}

void SourceLink::focusInEvent(QFocusEvent* event) {
    m_focusRing = focusFromKeyboard(event->reason());
    QAbstractButton::focusInEvent(event);
}

void SourceLink::focusOutEvent(QFocusEvent* event) {
    m_focusRing = false;
    QAbstractButton::focusOutEvent(event);
}

} // namespace tessaro
