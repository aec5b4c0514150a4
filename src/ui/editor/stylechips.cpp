#include "stylechips.h"

#include "l10n/localization.h"
#include "model/catalog.h"
#include "render/charmpainter.h"
#include "render/paintcolour.h"
#include "render/penpainter.h"
#include "uilook.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

using namespace Qt::StringLiterals;

namespace tessaro {

namespace {

const InterfacePalette& colours() {
    return interfacePalette();
}

QPainterPath rounded(const QRectF& rect, double radius) {
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

// The outline of a chip: thin in the line colour, a little stronger under
// the pointer.
QPen restingOutline(bool dark, bool hovered) {
    return QPen(hovered ? look::colour(colours().textSoft, dark, 0.7)
                        : look::colour(colours().line, dark),
                2);
}

void stroke(QPainter& painter, const QPainterPath& path, const QPen& pen) {
    painter.setBrush(Qt::NoBrush);
    painter.setPen(pen);
    painter.drawPath(path);
}

// A colour chip's ring: 2 points, 3 on the selected chip, drawn just inside
// the edge so that the colour keeps its size.
void colourRing(QPainter& painter, const QRectF& shape, double radius, bool selected, bool dark,
                bool hovered) {
    const double width = selected ? 3 : 2;
    const QRectF inner = shape.adjusted(width / 2, width / 2, -width / 2, -width / 2);
    const QPen pen = selected ? QPen(look::colour(colours().textMain, dark), width)
                              : restingOutline(dark, hovered);
    stroke(painter, rounded(inner, radius - width / 2), pen);
}

QFont groupFont() {
    return look::font(13.5, QFont::DemiBold);
}
QFont typeFont() {
    return look::font(12, QFont::Medium);
}
QFont barrelFont() {
    return look::font(13, QFont::Medium);
}

constexpr QSizeF typeThumb(84, 24);

} // namespace

GroupChip::GroupChip(const QString& group, QWidget* parent)
    : ChoiceChip(group, parent) {
    setObjectName(u"group."_s + group);
    retranslate();
}

void GroupChip::retranslate() {
    setText(L(u"group."_s + value()));
    setAccessibleName(text());
    updateGeometry();
}

QSizeF GroupChip::shapeSize() const {
    return {QFontMetricsF(groupFont()).horizontalAdvance(text()) + 28, 30};
}

void GroupChip::paintChip(QPainter& painter, const QRectF& shape, bool dark) const {
    const QPainterPath capsule = rounded(shape, shape.height() / 2);
    if (isSelected()) {
        painter.fillPath(capsule, look::colour(colours().accent, dark));
    } else {
        painter.fillPath(capsule, look::colour(colours().background, dark));
        stroke(painter, rounded(shape.adjusted(0.5, 0.5, -0.5, -0.5), shape.height() / 2 - 0.5),
               QPen(look::colour(isHovered() ? colours().textSoft : colours().line, dark), 1));
    }
    painter.setFont(groupFont());
    painter.setPen(look::colour(isSelected() ? colours().accentText : colours().textMain, dark));
    painter.drawText(shape, Qt::AlignCenter, text());
}

TypeChip::TypeChip(const QString& type, QWidget* parent)
    : ChoiceChip(type, parent) {
    setObjectName(u"types."_s + type);
    retranslate();
}

void TypeChip::retranslate() {
    setText(L(u"types."_s + value()));
    setAccessibleName(text());
    updateGeometry();
}

void TypeChip::setPenStyle(const QString& barrel, const QString& ink) {
    if (barrel == m_barrel && ink == m_ink)
        return;
    m_barrel = barrel;
    m_ink = ink;
    update();
}

QSizeF TypeChip::shapeSize() const {
    const QFontMetricsF metrics(typeFont());
    const double width = std::max(typeThumb.width(), metrics.horizontalAdvance(text()));
    return {width + 24, 10 + typeThumb.height() + 4 + metrics.height() + 9};
}

void TypeChip::paintChip(QPainter& painter, const QRectF& shape, bool dark) const {
    const QRectF inner = shape.adjusted(1, 1, -1, -1);
    const QPainterPath tile = rounded(inner, 17);
    if (isSelected()) {
        painter.fillPath(tile, look::colour(colours().accent, dark, 0.3));
        stroke(painter, tile, QPen(look::colour(colours().accent, dark), 2));
    } else {
        painter.fillPath(tile, look::colour(colours().surface, dark));
        stroke(painter, tile, restingOutline(dark, isHovered()));
    }
    const QPointF thumbAt(shape.center().x() - typeThumb.width() / 2, shape.top() + 10);
    const QString key = value() + u'|' + m_barrel + u'|' + m_ink + (dark ? u"|d"_s : u"|l"_s);
    m_thumb.draw(painter, thumbAt, typeThumb, key, [&](QPainter& p, QSizeF size) {
        paintPenTypeThumb(p, size, penTypeFor(value()).type, m_barrel, m_ink, dark,
                          p.device()->devicePixelRatioF());
    });
    painter.setFont(typeFont());
    painter.setPen(look::colour(colours().textMain, dark));
    const QRectF label(shape.left(), thumbAt.y() + typeThumb.height() + 4, shape.width(),
                       QFontMetricsF(typeFont()).height());
    painter.drawText(label, Qt::AlignHCenter | Qt::AlignTop, text());
}

InkChip::InkChip(const QString& ink, QWidget* parent)
    : ChoiceChip(ink, parent) {
    setObjectName(u"ink."_s + ink);
    retranslate();
}

void InkChip::retranslate() {
    // Inks have no names of their own; the colour's hex text tells them apart.
    setAccessibleName(L(u"style.ink"_s) + u' ' + value());
    setToolTip(value());
}

void InkChip::paintChip(QPainter& painter, const QRectF& shape, bool dark) const {
    painter.setPen(Qt::NoPen);
    painter.setBrush(toColor(rgbFromHex(value())));
    painter.drawEllipse(shape);
    colourRing(painter, shape, shape.height() / 2, isSelected(), dark, isHovered());
}

BarrelChip::BarrelChip(const QString& barrel, QWidget* parent)
    : ChoiceChip(barrel, parent) {
    setObjectName(u"barrels."_s + barrel);
    retranslate();
}

void BarrelChip::retranslate() {
    setText(L(u"barrels."_s + value()));
    setAccessibleName(text());
    updateGeometry();
}

QSizeF BarrelChip::shapeSize() const {
    return {QFontMetricsF(barrelFont()).horizontalAdvance(text()) + 32, 34};
}

void BarrelChip::paintChip(QPainter& painter, const QRectF& shape, bool dark) const {
    const BarrelSpec* barrel = barrelById(value());
    if (!barrel)
        return;
    QLinearGradient gradient(shape.topLeft(), shape.bottomLeft());
    gradient.setColorAt(0, toColor(barrel->top));
    gradient.setColorAt(1, toColor(barrel->bottom));
    painter.fillPath(rounded(shape, 14), gradient);
    colourRing(painter, shape, 14, isSelected(), dark, isHovered());
    // The barrel's own colours stay the same in either appearance; the label
    // follows them.
    const RGB middle{(barrel->top.r + barrel->bottom.r) / 2, (barrel->top.g + barrel->bottom.g) / 2,
                     (barrel->top.b + barrel->bottom.b) / 2};
    const bool darkBarrel = 0.299 * middle.r + 0.587 * middle.g + 0.114 * middle.b < 140;
    painter.setFont(barrelFont());
    painter.setPen(look::colour(colours().textMain, darkBarrel));
    painter.drawText(shape, Qt::AlignCenter, text());
}

CharmChip::CharmChip(const QString& kind, QWidget* parent)
    : ChoiceChip(kind, parent) {
    setObjectName(u"charms."_s + kind);
    retranslate();
}

void CharmChip::retranslate() {
    setAccessibleName(L(u"charms."_s + value()));
    setToolTip(accessibleName());
}

void CharmChip::paintChip(QPainter& painter, const QRectF& shape, bool dark) const {
    const QPainterPath tile = rounded(shape.adjusted(1, 1, -1, -1), 13);
    if (isSelected()) {
        painter.fillPath(tile, look::colour(colours().accent, dark, 0.3));
        stroke(painter, rounded(shape.adjusted(1.5, 1.5, -1.5, -1.5), 12.5),
               QPen(look::colour(colours().accent, dark), 3));
    } else {
        painter.fillPath(tile, look::colour(colours().surface, dark));
        stroke(painter, tile, restingOutline(dark, isHovered()));
    }
    const QSizeF icon(40, 40);
    const QPointF at(shape.center().x() - icon.width() / 2, shape.center().y() - icon.height() / 2);
    m_icon.draw(painter, at, icon, value() + (dark ? u"|d"_s : u"|l"_s),
                [&](QPainter& p, QSizeF size) {
                    paintCharmIcon(p, size, value(), dark, p.device()->devicePixelRatioF());
                });
}

} // namespace tessaro
