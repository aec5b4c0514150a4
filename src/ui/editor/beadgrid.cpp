#include "beadgrid.h"

#include "beadgridaccessible.h"
#include "l10n/localization.h"
#include "render/penpainter.h"
#include "render/spritecache.h"
#include "uilook.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintDevice>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>

#include <cmath>

using namespace Qt::StringLiterals;

namespace tessaro {

namespace {

double rowPitch() {
    return BeadGridLayout::cellHeight + BeadGridLayout::spacing;
}

bool fromKeyboard(Qt::FocusReason reason) {
    return reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
           reason == Qt::ShortcutFocusReason;
}

} // namespace

BeadGridLayout BeadGridLayout::forWidth(double width) {
    BeadGridLayout layout;
    layout.columns = std::max(1, int(std::floor((width + spacing) / (minimumCell + spacing))));
    const double fill = (width - spacing * (layout.columns - 1)) / layout.columns;
    layout.cellWidth = std::clamp(fill, minimumCell, maximumCell);
    const double used = layout.columns * layout.cellWidth + (layout.columns - 1) * spacing;
    layout.left = std::max(0.0, (width - used) / 2);
    return layout;
}

QRectF BeadGridLayout::cell(int index) const {
    const int row = index / columns;
    const int column = index % columns;
    return {left + column * (cellWidth + spacing), row * rowPitch(), cellWidth, cellHeight};
}

double BeadGridLayout::height(int count) const {
    if (count <= 0)
        return 0;
    const int rows = (count + columns - 1) / columns;
    return rows * cellHeight + (rows - 1) * spacing;
}

int BeadGridLayout::indexAt(QPointF point, int count) const {
    if (point.x() < left || point.y() < 0)
        return -1;
    const int column = int((point.x() - left) / (cellWidth + spacing));
    const int row = int(point.y() / rowPitch());
    if (column >= columns)
        return -1;
    const int index = row * columns + column;
    if (index >= count || !cell(index).contains(point))
        return -1;
    return index;
}

void paintBeadCells(QPainter& painter, const BeadGridLayout& layout, const QList<BeadSpec>& beads,
                    const QRectF& exposed, bool dimmed, bool dark) {
    const int count = int(beads.size());
    if (count == 0)
        return;
    const double ratio = painter.device()->devicePixelRatioF();
    const QColor tile = look::colour(interfacePalette().background, dark);
    const QColor under = look::colour(interfacePalette().surface, dark, 0.3);
    const QSizeF icon(BeadGridLayout::iconSize, BeadGridLayout::iconSize);
    // Only the rows that meet the exposed area.
    const int firstRow = std::max(0, int(std::floor(exposed.top() / rowPitch())));
    const int lastRow = int(std::floor(exposed.bottom() / rowPitch()));
    const int first = firstRow * layout.columns;
    const int last = std::min(count - 1, (lastRow + 1) * layout.columns - 1);
    // On whole device pixels every tile, and every cell of a bead, copies
    // the same sprite.
    const auto aligned = [ratio](QPointF point) {
        return QPointF(std::round(point.x() * ratio) / ratio,
                       std::round(point.y() * ratio) / ratio);
    };
    const QRectF tileBounds(0, 0, layout.cellWidth, BeadGridLayout::cellHeight);
    QByteArray tileKey("tray-tile");
    appendKey(tileKey, layout.cellWidth);
    appendKey(tileKey, tile.rgba());
    SpriteCache& sprites = SpriteCache::forThisThread();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    for (int i = first; i <= last; ++i) {
        const QRectF cell = layout.cell(i);
        if (!cell.intersects(exposed))
            continue;
        const QPointF cellAt = aligned(cell.topLeft());
        painter.translate(cellAt);
        sprites.draw(painter, tileKey, tileBounds, [&](QPainter& p) {
            p.setPen(Qt::NoPen);
            p.setBrush(tile);
            p.drawRoundedRect(tileBounds, BeadGridLayout::cornerRadius,
                              BeadGridLayout::cornerRadius);
        });
        const QPointF iconAt = aligned(
            QPointF((cell.width() - icon.width()) / 2, (cell.height() - icon.height()) / 2));
        painter.translate(iconAt);
        paintBeadIcon(painter, icon, beads[i], ratio);
        painter.translate(-iconAt - cellAt);
    }
    // Cells at 0.7 opacity over the plain surface look like the surface laid
    // over them at 0.3; between the cells the surface over itself changes
    // nothing. One plain fill, and the icons still come from the sprite cache.
    if (dimmed) {
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.fillRect(exposed, under);
    }
    painter.restore();
}

BeadGrid::BeadGrid(QWidget* parent)
    : QWidget(parent) {
    installBeadGridAccessible();
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

BeadGrid::~BeadGrid() {
    forgetCellAccessibles();
}

void BeadGrid::setBeads(const QList<BeadSpec>& beads) {
    if (beads == m_beads)
        return;
    forgetCellAccessibles();
    m_beads = beads;
    m_current = 0;
    m_hovered = -1;
    updateGeometry();
    update();
    QAccessibleEvent changed(this, QAccessible::ObjectReorder);
    QAccessible::updateAccessibility(&changed);
}

void BeadGrid::setDimmed(bool dimmed) {
    if (dimmed == m_dimmed)
        return;
    m_dimmed = dimmed;
    update();
}

void BeadGrid::tapCell(int index) {
    if (index >= 0 && index < m_beads.size())
        Q_EMIT tapped(m_beads[index].id);
}

QAccessibleInterface* BeadGrid::cellAccessible(int index) const {
    if (index < 0 || index >= m_beads.size())
        return nullptr;
    if (m_cellAccessibles.size() != m_beads.size())
        m_cellAccessibles = QList<QAccessible::Id>(m_beads.size(), 0);
    if (!m_cellAccessibles[index]) {
        m_cellAccessibles[index] = QAccessible::registerAccessibleInterface(
            newBeadCellAccessible(const_cast<BeadGrid*>(this), index));
    }
    return QAccessible::accessibleInterface(m_cellAccessibles[index]);
}

void BeadGrid::forgetCellAccessibles() {
    for (const QAccessible::Id id : std::as_const(m_cellAccessibles)) {
        if (id)
            QAccessible::deleteAccessibleInterface(id);
    }
    m_cellAccessibles.clear();
}

int BeadGrid::heightForWidth(int width) const {
    return int(std::ceil(BeadGridLayout::forWidth(width).height(int(m_beads.size()))));
}

QSize BeadGrid::sizeHint() const {
    // Seven columns at their narrowest.
    const int width =
        int(7 * (BeadGridLayout::minimumCell + BeadGridLayout::spacing) - BeadGridLayout::spacing);
    return {width, heightForWidth(width)};
}

QSize BeadGrid::minimumSizeHint() const {
    return {int(BeadGridLayout::minimumCell), int(BeadGridLayout::cellHeight)};
}

bool BeadGrid::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int index = m_layout.indexAt(help->pos(), int(m_beads.size()));
        if (index < 0) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), L(u"beads."_s + m_beads[index].id), this,
                               m_layout.cell(index).toAlignedRect());
        }
        return true;
    }
    return QWidget::event(event);
}

void BeadGrid::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const bool dark = look::isDark();
    const InterfacePalette& palette = interfacePalette();
    painter.fillRect(event->rect(), look::colour(palette.surface, dark));
    paintBeadCells(painter, m_layout, m_beads, event->rect(), m_dimmed, dark);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    const double radius = BeadGridLayout::cornerRadius;
    if (m_hovered >= 0 && !m_press) {
        painter.setPen(QPen(look::colour(palette.textSoft, dark, 0.5), 1.5));
        painter.drawRoundedRect(m_layout.cell(m_hovered).adjusted(0.75, 0.75, -0.75, -0.75),
                                radius - 0.75, radius - 0.75);
    }
    if (m_focusRing && hasFocus() && m_current < m_beads.size()) {
        painter.setPen(QPen(look::colour(palette.accent, dark), 2));
        painter.drawRoundedRect(m_layout.cell(m_current).adjusted(1, 1, -1, -1), radius - 1,
                                radius - 1);
    }
}

void BeadGrid::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_layout = BeadGridLayout::forWidth(width());
}

void BeadGrid::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const int index = m_layout.indexAt(event->position(), int(m_beads.size()));
    if (index < 0)
        return;
    m_press = Press{m_beads[index].id, event->position()};
    updateCell(m_hovered);
}

void BeadGrid::mouseMoveEvent(QMouseEvent* event) {
    if (!m_press) {
        setHovered(m_layout.indexAt(event->position(), int(m_beads.size())));
        return;
    }
    if (!m_press->dragging) {
        const QPointF moved = event->position() - m_press->start;
        if (std::hypot(moved.x(), moved.y()) <= dragDistance)
            return;
        m_press->dragging = true;
        setCursor(Qt::ClosedHandCursor);
    }
    Q_EMIT dragged(m_press->beadID, TrayDragPhase::changed, inWindow(event->position()));
}

void BeadGrid::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_press) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const Press press = *std::exchange(m_press, std::nullopt);
    if (press.dragging) {
        unsetCursor();
        Q_EMIT dragged(press.beadID, TrayDragPhase::ended, inWindow(event->position()));
    } else {
        Q_EMIT tapped(press.beadID);
    }
    setHovered(m_layout.indexAt(event->position(), int(m_beads.size())));
}

void BeadGrid::keyPressEvent(QKeyEvent* event) {
    const int count = int(m_beads.size());
    if (count == 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    int next = m_current;
    switch (event->key()) {
    case Qt::Key_Left:
        next = m_current - 1;
        break;
    case Qt::Key_Right:
        next = m_current + 1;
        break;
    case Qt::Key_Up:
        next = m_current - m_layout.columns;
        break;
    case Qt::Key_Down:
        next = m_current + m_layout.columns;
        break;
    case Qt::Key_Home:
        next = 0;
        break;
    case Qt::Key_End:
        next = count - 1;
        break;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        tapCell(m_current);
        return;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    m_focusRing = true;
    setCurrent(std::clamp(next, 0, count - 1));
}

void BeadGrid::focusInEvent(QFocusEvent* event) {
    m_focusRing = fromKeyboard(event->reason());
    updateCell(m_current);
    if (m_current < m_beads.size()) {
        QAccessibleEvent focus(this, QAccessible::Focus);
        focus.setChild(m_current);
        QAccessible::updateAccessibility(&focus);
    }
    QWidget::focusInEvent(event);
}

void BeadGrid::focusOutEvent(QFocusEvent* event) {
    m_focusRing = false;
    updateCell(m_current);
    QWidget::focusOutEvent(event);
}

void BeadGrid::leaveEvent(QEvent* event) {
    setHovered(-1);
    QWidget::leaveEvent(event);
}

QPointF BeadGrid::inWindow(QPointF point) const {
    return point + QPointF(mapTo(window(), QPoint(0, 0)));
}

void BeadGrid::setCurrent(int index) {
    if (index == m_current) {
        updateCell(index);
        return;
    }
    updateCell(m_current);
    m_current = index;
    updateCell(m_current);
    QAccessibleEvent focus(this, QAccessible::Focus);
    focus.setChild(m_current);
    QAccessible::updateAccessibility(&focus);
}

void BeadGrid::setHovered(int index) {
    if (index == m_hovered)
        return;
    updateCell(m_hovered);
    m_hovered = index;
    updateCell(m_hovered);
    if (index >= 0)
        setCursor(Qt::OpenHandCursor);
    else
        unsetCursor();
}

void BeadGrid::updateCell(int index) {
    if (index >= 0 && index < m_beads.size())
        update(m_layout.cell(index).toAlignedRect().adjusted(-1, -1, 1, 1));
}

} // namespace tessaro
