#include "pagetile.h"

#include "l10n/localization.h"
#include "pagesymbols.h"
#include "render/pages/pagedecoder.h"
#include "render/pages/pagerender.h"
#include "ui/common/interfacecolours.h"
#include "ui/common/interfacefont.h"

#include <QBuffer>
#include <QFocusEvent>
#include <QImageReader>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace tessaro {

using namespace Qt::StringLiterals;

namespace {

constexpr double tileRadius = 18;
constexpr int footerFontSize = 11;
// The largest thumbnail side read; a thumbnail is made 320 points long.
constexpr int maxThumbnailSide = 1024;

QFont footerFont(QFont::Weight weight) {
    return interfaceFont(footerFontSize, weight);
}

} // namespace

QImage decodeThumbnail(const QByteArray& png) {
    if (png.size() > maxThumbnailBytes || !png.startsWith("\x89PNG"))
        return {};
    limitImageAllocations();
    QByteArray data = png;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    reader.setDecideFormatFromContent(false);
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty() || size.width() > maxThumbnailSide
        || size.height() > maxThumbnailSide)
        return {};
    return reader.read();
}

TileDeleteButton::TileDeleteButton(QWidget* parent)
    : QAbstractButton(parent) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
}

void TileDeleteButton::setArmed(bool armed) {
    m_armed = armed;
    updateGeometry();
    update();
}

QSize TileDeleteButton::sizeHint() const {
    const QFontMetrics metrics(footerFont(QFont::DemiBold));
    return {metrics.horizontalAdvance(text()) + 8, metrics.height() + 6};
}

void TileDeleteButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setOpacity(isDown() ? 0.45 : 0.7);
    painter.setFont(footerFont(QFont::DemiBold));
    const InterfacePalette& palette = interfacePalette();
    painter.setPen(interfaceColour(m_armed ? palette.danger : palette.textMain));
    const QString shown =
        painter.fontMetrics().elidedText(text(), Qt::ElideRight, width() - 8);
    painter.drawText(rect().adjusted(4, 0, -4, 0), Qt::AlignRight | Qt::AlignVCenter, shown);
    if (hasFocus()) {
        painter.setOpacity(1);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(interfaceColour(palette.accent), 1.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 6, 6);
    }
}

PageTile::PageTile(QWidget* parent)
    : QWidget(parent)
    , m_delete(new TileDeleteButton(this)) {
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    setFixedHeight(tileHeight);
}

void PageTile::setContent(const Drawing& drawing, const QString& date, bool armed) {
    m_id = drawing.id;
    m_date = date;
    if (drawing.thumbnailPNG != m_png) {
        m_png = drawing.thumbnailPNG;
        m_thumbnail = m_png ? decodeThumbnail(*m_png) : QImage();
    }
    m_delete->setText(L(armed ? u"canvas.deleteConfirm"_s : u"canvas.delete"_s));
    m_delete->setArmed(armed);
    setAccessibleName(date);
    resizeEvent(nullptr);
    update();
}

QRectF PageTile::thumbnailRect() const {
    return QRectF(0.5, 0.5, width() - 1.0, thumbnailHeight - 1.0);
}

void PageTile::resizeEvent(QResizeEvent*) {
    const QSize hint = m_delete->sizeHint();
    const int buttonWidth = std::min(hint.width(), width() / 2 + 20);
    m_delete->setGeometry(width() - buttonWidth, thumbnailHeight + (footerHeight - hint.height()) / 2,
                          buttonWidth, hint.height());
}

void PageTile::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const InterfacePalette& palette = interfacePalette();
    const QRectF box = thumbnailRect();
    QPainterPath shape;
    shape.addRoundedRect(box, tileRadius, tileRadius);
    painter.fillPath(shape, QColor::fromRgb(paperColour));
    if (m_thumbnail.isNull()) {
        // The paper stays light in either appearance, so the scribble does too.
        paintScribble(painter, QRectF(box.center() - QPointF(22, 22), QSizeF(44, 44)),
                      QColor(0xB8, 0xA4, 0x98));
    } else {
        painter.save();
        painter.setClipPath(shape);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const QRectF inner = box.adjusted(10, 10, -10, -10);
        const QSizeF size = QSizeF(m_thumbnail.size()).scaled(inner.size(), Qt::KeepAspectRatio);
        painter.drawImage(QRectF(inner.center() - QPointF(size.width() / 2, size.height() / 2), size),
                          m_thumbnail);
        painter.restore();
    }
    const bool ring = m_focusRing && hasFocus();
    painter.setPen(ring ? QPen(interfaceColour(palette.accent), 2.5)
                        : QPen(interfaceColour(palette.line), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(shape);

    painter.setFont(footerFont(QFont::Normal));
    painter.setPen(interfaceColour(palette.textSoft));
    const QRect footer(4, thumbnailHeight, m_delete->x() - 8, footerHeight);
    painter.drawText(footer, Qt::AlignLeft | Qt::AlignVCenter,
                     painter.fontMetrics().elidedText(m_date, Qt::ElideRight, footer.width()));
}

void PageTile::mousePressEvent(QMouseEvent* event) {
    m_pressed = event->button() == Qt::LeftButton;
}

void PageTile::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click)
        Q_EMIT opened();
}

void PageTile::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter
        || event->key() == Qt::Key_Space) {
        Q_EMIT opened();
        return;
    }
    QWidget::keyPressEvent(event);
}

void PageTile::focusInEvent(QFocusEvent* event) {
    m_focusRing = event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    update();
    QWidget::focusInEvent(event);
}

void PageTile::focusOutEvent(QFocusEvent* event) {
    update();
    QWidget::focusOutEvent(event);
}

} // namespace tessaro
