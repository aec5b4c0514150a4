#pragma once

#include "render/penlayout.h"
#include "traydrag.h"

#include <QPointF>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <optional>

namespace tessaro {

// Where a dragged bead comes from.
enum class DragSource { tray, pen };

// The drag in flight. Points are in the editor's coordinates.
struct BeadDrag {
    DragSource source = DragSource::tray;
    QString id;    // the dragged bead's catalog id
    int from = -1; // its index on the pen for a pen drag; -1 from the tray
    QPointF point; // the pointer
    // Where the bead would drop now; none when a drop would miss the pen.
    std::optional<int> slot;

    friend bool operator==(const BeadDrag&, const BeadDrag&) = default;
};

// The pen's beads as the stage shows them: without the one lifted off the
// pen by the drag.
QStringList displayedBeads(const QStringList& beads, const std::optional<BeadDrag>& drag);

// The stage's layout in the editor's coordinates: the stage fitted to the
// frame's width and moved to its place.
PenLayout stageLayout(const QRectF& stageFrame);

// The slot a bead dropped at `point` goes into, among `displayedCount` beads
// on the pen laid out by `layout` within `stageFrame`; none when the pen is
// full or the point is not over it.
std::optional<int> dropSlot(int displayedCount, const QRectF& stageFrame, const PenLayout& layout,
                            QPointF point);

} // namespace tessaro
