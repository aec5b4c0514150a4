#include "caserow.h"

#include "appearance/appearancemanager.h"
#include "l10n/localization.h"
#include "render/charmpainter.h"
#include "render/penlayout.h"
#include "render/penpainter.h"
#include "render/penpalette.h"
#include "ui/editor/uilook.h"

#include <QFocusEvent>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QPainter>

#include <cmath>

using namespace Qt::StringLiterals;

namespace tessaro {

namespace {

constexpr double cardPadding = 6;
constexpr double labelGap = 10;
// A longer text, such as a confirmation in some languages, wraps within it.
constexpr double deleteTextWidth = 150;

QFont labelFont() {
    return look::font(13, QFont::Normal);
}

QFont deleteFont() {
    return look::font(13, QFont::DemiBold);
}

bool fromKeyboard(Qt::FocusReason reason) {
    return reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
           reason == Qt::ShortcutFocusReason;
}

void focusRing(QPainter& painter, const QRectF& rect, double radius) {
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(look::colour(interfacePalette().accent), 2));
    painter.drawRoundedRect(rect.adjusted(1, 1, -1, -1), radius, radius);
}

} // namespace

PenCard::PenCard(QWidget* parent)
    : QAbstractButton(parent) {
    setAttribute(Qt::WA_Hover);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void PenCard::setPen(const Pen& pen, const QString& label) {
    if (pen == m_pen && label == text())
        return;
    m_pen = pen;
    setText(label);
    setAccessibleName(label);
    updateGeometry();
    update();
}

QSize PenCard::sizeHint() const {
    const QFontMetricsF metrics(labelFont());
    const double width =
        2 * cardPadding + artworkSize.width() + labelGap + metrics.horizontalAdvance(text());
    const double height = 2 * cardPadding + std::max(artworkSize.height(), metrics.height());
    return {int(std::ceil(width)), int(std::ceil(height))};
}

QSize PenCard::minimumSizeHint() const {
    const QSize hint = sizeHint();
    return {int(2 * cardPadding + artworkSize.width()), hint.height()};
}

void PenCard::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool dark = look::isDark();
    const InterfacePalette& palette = interfacePalette();
    if (underMouse() || isDown()) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(look::colour(palette.accent, dark, isDown() ? 0.3 : 0.15));
        painter.drawRoundedRect(QRectF(rect()), 16, 16);
    }
    const QPointF at(cardPadding, (height() - artworkSize.height()) / 2);
    const QString key = m_pen.id() + (dark ? u"|d"_s : u"|l"_s);
    m_artwork.draw(painter, at, artworkSize, key, [this, dark](QPainter& p, QSizeF size) {
        const double ratio = p.device()->devicePixelRatioF();
        const auto charm = [ratio](QPainter& q, QPointF anchor, double scale, const QString& kind,
                                   bool darkCharm) {
            drawCharm(q, anchor, scale, 0, kind, penPalette(darkCharm), pixelScale(scale, ratio));
        };
        paintPenArtwork(p, size, m_pen, dark, artworkAngle, true, ratio, charm);
    });
    const double labelLeft = at.x() + artworkSize.width() + labelGap;
    painter.setFont(labelFont());
    painter.setPen(look::colour(palette.textSoft, dark));
    // A narrow row wraps the date under the number.
    const QRectF label(labelLeft, 0, width() - labelLeft - cardPadding, height());
    painter.drawText(label, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, text());
    if (m_focusRing && hasFocus())
        focusRing(painter, QRectF(rect()), 15);
}

void PenCard::focusInEvent(QFocusEvent* event) {
    m_focusRing = fromKeyboard(event->reason());
    QAbstractButton::focusInEvent(event);
}

void PenCard::focusOutEvent(QFocusEvent* event) {
    m_focusRing = false;
    QAbstractButton::focusOutEvent(event);
}

DeleteButton::DeleteButton(QWidget* parent)
    : QAbstractButton(parent) {
    setAttribute(Qt::WA_Hover);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void DeleteButton::setArmed(bool armed) {
    m_armed = armed;
    setText(L(armed ? u"case.deleteConfirm"_s : u"case.delete"_s));
    setAccessibleName(text());
    updateGeometry();
    update();
}

QSize DeleteButton::sizeHint() const {
    const QRectF text = textBounds();
    return {int(std::ceil(text.width() + 24)), int(std::ceil(text.height() + 14))};
}

QRectF DeleteButton::textBounds() const {
    return QFontMetricsF(deleteFont())
        .boundingRect(QRectF(0, 0, deleteTextWidth, 1000), Qt::AlignCenter | Qt::TextWordWrap,
                      text());
}

void DeleteButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool dark = look::isDark();
    const InterfacePalette& palette = interfacePalette();
    const PaletteColour& ink = m_armed ? palette.danger : palette.textMain;
    const double radius = std::min(height() / 2.0, 16.0);
    if (underMouse() || isDown()) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(look::colour(ink, dark, isDown() ? 0.18 : 0.1));
        painter.drawRoundedRect(QRectF(rect()), radius, radius);
    }
    painter.setFont(deleteFont());
    painter.setPen(look::colour(ink, dark));
    painter.drawText(QRectF(rect()), Qt::AlignCenter | Qt::TextWordWrap, text());
    if (m_focusRing && hasFocus())
        focusRing(painter, QRectF(rect()), radius - 1);
}

void DeleteButton::focusInEvent(QFocusEvent* event) {
    m_focusRing = fromKeyboard(event->reason());
    QAbstractButton::focusInEvent(event);
}

void DeleteButton::focusOutEvent(QFocusEvent* event) {
    m_focusRing = false;
    QAbstractButton::focusOutEvent(event);
}

CaseRow::CaseRow(QWidget* parent)
    : QWidget(parent)
    , m_card(new PenCard(this))
    , m_delete(new DeleteButton(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 6, 10, 6);
    layout->setSpacing(8);
    layout->addWidget(m_card, 1);
    layout->addWidget(m_delete, 0, Qt::AlignVCenter);
}

void CaseRow::setContent(const Pen& pen, const QString& label, bool armed) {
    m_card->setPen(pen, label);
    m_delete->setArmed(armed);
    m_delete->setAccessibleDescription(label);
}

void CaseRow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const InterfacePalette& palette = interfacePalette();
    painter.setPen(QPen(look::colour(palette.line), 1));
    painter.setBrush(look::colour(palette.surface));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 22, 22);
}

} // namespace tessaro
