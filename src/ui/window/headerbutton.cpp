#include "headerbutton.h"

#include "ui/common/capsulebutton.h"
#include "ui/common/interfacecolours.h"
#include "ui/common/interfacefont.h"
#include "ui/common/themedsymbol.h"

#include <QFocusEvent>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace tessaro {

using namespace Qt::StringLiterals;

namespace {

constexpr int symbolSize = 16;
constexpr int gap = 6;
constexpr double paddingX = 10;
constexpr double paddingY = 6;

QFont labelFont() {
    return interfaceFont(13, QFont::DemiBold);
}

QFont countFont() {
    return interfaceFont(11, QFont::Bold);
}

// A pencil's tip inside a circle.
void drawPencil(QPainter& painter, const QRectF& box) {
    QPen pen = painter.pen();
    pen.setWidthF(qMax(1.2, box.width() / 11));
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(box);
    const QPointF c = box.center();
    const double r = box.width() / 2;
    QPainterPath tip;
    tip.moveTo(c + QPointF(-0.45 * r, 0.45 * r));
    tip.lineTo(c + QPointF(-0.3 * r, 0.05 * r));
    tip.lineTo(c + QPointF(0.25 * r, -0.5 * r));
    tip.lineTo(c + QPointF(0.5 * r, -0.25 * r));
    tip.lineTo(c + QPointF(-0.05 * r, 0.3 * r));
    tip.closeSubpath();
    painter.drawPath(tip);
}

// A gear: a ring with eight teeth around a hole.
void drawGear(QPainter& painter, const QRectF& box) {
    const QPointF c = box.center();
    const double outer = box.width() / 2;
    const double inner = outer * 0.72;
    QPainterPath gear;
    for (int i = 0; i < 16; ++i) {
        const double from = (i - 0.5) * M_PI / 8;
        const double to = (i + 0.5) * M_PI / 8;
        const double radius = i % 2 == 0 ? outer : inner;
        const QPointF a = c + radius * QPointF(qCos(from), qSin(from));
        const QPointF b = c + radius * QPointF(qCos(to), qSin(to));
        if (i == 0)
            gear.moveTo(a);
        else
            gear.lineTo(a);
        gear.lineTo(b);
    }
    gear.closeSubpath();
    gear.addEllipse(c, outer * 0.3, outer * 0.3);
    gear.setFillRule(Qt::OddEvenFill);
    painter.setBrush(painter.pen().color());
    painter.setPen(Qt::NoPen);
    painter.drawPath(gear);
}

} // namespace

QIcon drawingsSymbol() {
    return themedSymbol({u"document-edit-symbolic"_s, u"document-edit"_s}, drawPencil);
}

QIcon settingsSymbol() {
    return themedSymbol({u"emblem-system-symbolic"_s, u"preferences-system"_s}, drawGear);
}

HeaderButton::HeaderButton(QWidget* parent) : QAbstractButton(parent) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_Hover);
    new AppearanceWatch(this, [this] { update(); });
}

void HeaderButton::setSymbol(const QIcon& symbol) {
    m_symbol = symbol;
    updateGeometry();
    update();
}

void HeaderButton::setCount(std::optional<qsizetype> count) {
    if (count == m_count)
        return;
    m_count = count;
    updateGeometry();
    update();
}

QString HeaderButton::countText() const {
    return m_count ? QString::number(*m_count) : QString();
}

QSize HeaderButton::sizeHint() const {
    double width = 2 * paddingX + QFontMetricsF(labelFont()).horizontalAdvance(text());
    if (!m_symbol.isNull())
        width += symbolSize + (text().isEmpty() ? 0 : gap);
    if (m_count)
        width += gap + QFontMetricsF(countFont()).horizontalAdvance(countText()) + 12;
    const double height = qMax<double>(QFontMetricsF(labelFont()).height(), symbolSize);
    return {qCeil(width), qCeil(height + 2 * paddingY)};
}

void HeaderButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const InterfacePalette& palette = interfacePalette();
    const QRectF area = QRectF(rect()).adjusted(1, 1, -1, -1);
    if (isDown() || underMouse()) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(interfaceColour(palette.line, isDown() ? 0.9 : 0.5));
        painter.drawPath(capsulePath(area));
    }
    if (m_focusRing && hasFocus()) {
        painter.setPen(QPen(interfaceColour(palette.accent), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(capsulePath(area));
    }
    const QColor ink = interfaceColour(palette.textMain, isEnabled() ? 1 : 0.45);
    double x = paddingX;
    const double middle = height() / 2.0;
    if (!m_symbol.isNull()) {
        const QRect box(qRound(x), qRound(middle - symbolSize / 2.0), symbolSize, symbolSize);
        painter.setPen(QPen(ink, 1.6));
        m_symbol.paint(&painter, box, Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);
        x += symbolSize + gap;
    }
    painter.setFont(labelFont());
    painter.setPen(ink);
    const double labelWidth = QFontMetricsF(labelFont()).horizontalAdvance(text());
    painter.drawText(QRectF(x, 0, labelWidth + 1, height()), Qt::AlignVCenter | Qt::AlignLeft,
                     text());
    x += labelWidth + (text().isEmpty() ? 0 : gap);
    if (m_count) {
        const QString number = countText();
        const double numberWidth = QFontMetricsF(countFont()).horizontalAdvance(number);
        const double badgeHeight = QFontMetricsF(countFont()).height() + 2;
        const QRectF badge(x, middle - badgeHeight / 2, numberWidth + 12, badgeHeight);
        painter.setPen(Qt::NoPen);
        painter.setBrush(interfaceColour(palette.accent, isEnabled() ? 0.18 : 0.09));
        painter.drawPath(capsulePath(badge));
        painter.setFont(countFont());
        painter.setPen(ink);
        painter.drawText(badge, Qt::AlignCenter, number);
    }
}

void HeaderButton::focusInEvent(QFocusEvent* event) {
    // The ring is for the keyboard; a click gives focus without it.
    m_focusRing = event->reason() == Qt::TabFocusReason
                  || event->reason() == Qt::BacktabFocusReason
                  || event->reason() == Qt::ShortcutFocusReason;
    QAbstractButton::focusInEvent(event);
}

} // namespace tessaro
