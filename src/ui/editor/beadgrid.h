#pragma once

#include "model/catalog.h"
#include "traydrag.h"

#include <QAccessible>
#include <QList>
#include <QWidget>

#include <optional>

namespace tessaro {

// Where the cells of a bead grid go: as many columns of 42 to 58 points as
// fit, 6 points apart, in rows of cells 41 points high.
struct BeadGridLayout {
    static constexpr double minimumCell = 42;
    static constexpr double maximumCell = 58;
    static constexpr double spacing = 6;
    static constexpr double cellHeight = 41;
    static constexpr double iconSize = 34;
    static constexpr double cornerRadius = 16;

    int columns = 1;
    double cellWidth = minimumCell;
    // Columns that reach their widest leave room at the sides; they stay centred.
    double left = 0;

    static BeadGridLayout forWidth(double width);
    QRectF cell(int index) const;
    double height(int count) const;
    // The cell under `point`, or -1 in a gap or past the last cell.
    int indexAt(QPointF point, int count) const;
};

// Paints the cells of `beads` that meet `exposed`: each bead's icon (from the
// sprite cache) on its tile. Dimmed cells are painted as if at 0.7 opacity
// over the surface colour, which must fill the rest of `exposed`.
void paintBeadCells(QPainter& painter, const BeadGridLayout& layout, const QList<BeadSpec>& beads,
                    const QRectF& exposed, bool dimmed, bool dark);

// The bead tray's grid: one widget that paints every cell. A click on a cell
// reports a tap; a press that moves more than 6 points reports a drag, each
// move and the release, in the window's coordinates. From the keyboard the
// arrows move between cells and Space or Enter taps. Screen readers see one
// button per cell, named after its bead.
class BeadGrid final : public QWidget {
    Q_OBJECT

public:
    static constexpr double dragDistance = 6;

    explicit BeadGrid(QWidget* parent = nullptr);
    ~BeadGrid() override;

    void setBeads(const QList<BeadSpec>& beads);
    const QList<BeadSpec>& beads() const { return m_beads; }
    void setDimmed(bool dimmed);
    bool isDimmed() const { return m_dimmed; }

    QRectF cellRect(int index) const { return m_layout.cell(index); }
    int currentIndex() const { return m_current; }
    // Reports a tap on the cell, as a click would.
    void tapCell(int index);
    // The screen reader's view of one cell.
    QAccessibleInterface* cellAccessible(int index) const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    void tapped(const QString& beadID);
    void dragged(const QString& beadID, TrayDragPhase phase, QPointF pointInWindow);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    struct Press {
        QString beadID;
        QPointF start;
        bool dragging = false;
    };

    QPointF inWindow(QPointF point) const;
    void setCurrent(int index);
    void setHovered(int index);
    void updateCell(int index);
    void forgetCellAccessibles();

    QList<BeadSpec> m_beads;
    BeadGridLayout m_layout;
    bool m_dimmed = false;
    int m_current = 0;
    int m_hovered = -1;
    bool m_focusRing = false;
    std::optional<Press> m_press;
    mutable QList<QAccessible::Id> m_cellAccessibles;
};

} // namespace tessaro
