#pragma once

#include "model/catalog.h"

#include <QPointF>

#include <optional>
#include <utility>

class QPainter;

namespace tessaro {

// Pen space: the tip at x = 0, the back end at x = 1000, the axis y = 0,
// y downwards. Every pen picture is drawn there and mapped into its view by
// a PenLayout.
inline constexpr double penLength = 1000;
inline constexpr double beadR = 59;
inline constexpr double slotPitch = 118;
inline constexpr double firstSlotX = 300;
// Shaped beads' outlines for shadows are built at this radius.
inline constexpr double silhouetteR = 56.64; // 0.96 · beadR
// A view point this close to a slot centre picks that bead.
inline constexpr double catchRadius = 73.16; // 1.24 · beadR
// Pen units kept free beyond the back end, across the view, for the charm.
inline constexpr double charmRoom = 81.84;

struct PenLayout {
    QPointF origin;
    double scale = 1;
    double angle = 0;

    friend bool operator==(const PenLayout&, const PenLayout&) = default;

    QPointF map(QPointF penPoint) const;
    // Translate to the origin, then scale and rotate, so that the painter
    // draws in pen space.
    void apply(QPainter& painter) const;
};

struct StageFit {
    PenLayout layout;
    double height = 0;
};

// The editing stage for a width in points, and the height it needs.
StageFit fitStage(double width);
// A whole pen centred in a canvas; without an angle, the stage's rule.
PenLayout fitArtwork(double width, double height, std::optional<double> angle, bool withCharm);
// A flat type thumbnail.
PenLayout thumbLayout(double width, double height);

// The pen-space x of bead `index`; beads at or after an open drop gap move
// one slot on.
double slotCentre(int index, std::optional<int> gap = std::nullopt);
// The gap a drag over the pen opens for its target slot: none on a full pen.
std::optional<int> dropGap(int beadCount, int targetSlot);
// The bead under a view point; the bead nearer the back end wins overlaps.
std::optional<int> slotAt(int beadCount, QPointF viewPoint, const PenLayout& layout);

// Where the body's contact shadow lies along the axis.
std::pair<double, double> barrelSpan(PenType type);

// Where the charm hangs, in view coordinates: the back end of the axis.
QPointF charmAnchor(const PenLayout& layout);

// Device pixels per pen unit; without a usable screen factor, 2.
double pixelScale(double layoutScale, double devicePixelRatio);

} // namespace tessaro
