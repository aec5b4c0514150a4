#include "beaddrag.h"

#include "model/pen.h"

#include <algorithm>
#include <cmath>

namespace tessaro {

namespace {

// The band around the axis, in pen units, where a drop lands on the pen: a
// little wider than a bead, and from the first bead's inner edge to just
// past the back end.
constexpr double dropReach = 106.2;
constexpr double dropStart = 241;
constexpr double dropEnd = 1008;
// Moves each slot boundary 5.9 units towards the tip, so that a point midway
// between two beads drops after the one nearer the tip.
constexpr double slotBias = 0.05;

} // namespace

QStringList displayedBeads(const QStringList& beads, const std::optional<BeadDrag>& drag) {
    if (!drag || drag->source != DragSource::pen || drag->from < 0 || drag->from >= beads.size())
        return beads;
    QStringList shown = beads;
    shown.removeAt(drag->from);
    return shown;
}

PenLayout stageLayout(const QRectF& stageFrame) {
    PenLayout layout = fitStage(stageFrame.width()).layout;
    layout.origin += stageFrame.topLeft();
    return layout;
}

std::optional<int> dropSlot(int displayedCount, const QRectF& stageFrame, const PenLayout& layout,
                            QPointF point) {
    if (displayedCount >= maxBeadsPerPen)
        return std::nullopt;
    // Half-open, so that two frames side by side never both hold a point.
    const bool inFrame = point.x() >= stageFrame.left() && point.x() < stageFrame.right() &&
                         point.y() >= stageFrame.top() && point.y() < stageFrame.bottom();
    if (!inFrame || !(layout.scale > 0))
        return std::nullopt;
    const double u = (point.x() - layout.origin.x()) / layout.scale;
    const double v = (point.y() - layout.origin.y()) / layout.scale;
    const double c = std::cos(layout.angle);
    const double s = std::sin(layout.angle);
    const double along = u * c + v * s;
    const double across = std::abs(v * c - u * s);
    if (!(across < dropReach && along >= dropStart && along <= dropEnd))
        return std::nullopt;
    // std::round takes halves away from zero.
    const double slot = std::round((along - firstSlotX) / slotPitch + slotBias);
    return slot < 0 ? 0 : std::min(int(slot), displayedCount);
}

} // namespace tessaro
