#pragma once

#include "store/penstore.h"
#include "traydrag.h"

#include <QWidget>

class QLabel;

namespace tessaro {

class BeadGrid;
class ChipRow;

// The bead tray: a title, one tab per bead group and a grid of the beads of
// the store's active group. A click on a tab makes its group the active one
// (through the store); a click on a bead reports a tap and a drag of a bead
// reports every move and the release. The editor adds tapped beads to the
// pen and carries dragged ones onto it.
class BeadBoxView final : public QWidget {
    Q_OBJECT

public:
    explicit BeadBoxView(PenStore& store, QWidget* parent = nullptr);

    // Dims the bead cells; the editor dims them while the pen is full. Taps
    // still arrive, so that the editor can say why nothing was added.
    void setDimmed(bool dimmed);
    bool isDimmed() const;

    // Reads every text again in the chosen language.
    void retranslate();

    BeadGrid* grid() const { return m_grid; }
    ChipRow* groupTabs() const { return m_tabs; }

Q_SIGNALS:
    void beadTapped(const QString& beadID);
    // Points are in the window's coordinates. The tray never reports
    // `began`: the first report of a drag is `changed`.
    void beadDragged(const QString& beadID, TrayDragPhase phase, QPointF pointInWindow);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void showActiveGroup();
    void applyLook();

    PenStore& m_store;
    QLabel* m_title;
    QLabel* m_hint;
    ChipRow* m_tabs;
    BeadGrid* m_grid;
};

} // namespace tessaro
