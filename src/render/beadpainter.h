#pragma once

#include "model/catalog.h"

#include <QPainterPath>

#include <optional>

class QPainter;

namespace tessaro {

// Paints one bead of any catalog kind, centred on the painter's origin, at
// radius `r`. `angle` is the pen's angle (the bead itself stands upright);
// `pixelScale` is device pixels per unit, below which details are skipped.
void drawBead(QPainter& painter, const BeadSpec& bead, double r, double angle, double pixelScale);

// Whether a bead of `shape` looks different at another pen angle: the
// jelly's thread lies along the pen and a shaped bead's contact shade follows
// it; the other round beads look the same at any angle.
bool beadFollowsPenAngle(BeadShape shape);

// The outline of a shaped bead at radius `r`, centred on (0, 0); nothing for
// the round-bodied kinds.
std::optional<QPainterPath> beadSilhouette(BeadShape shape, double r);

// The shading of a glossy sphere over `body`: lit upper left, a darker rim
// band of strength `k` (negative darkens), an inner rim, a warm pool of light
// and the rim light. A positive `band` also lays the pen's thread, seen
// through the glass, along the pen `angle`, `band` units thick.
void glassBody(QPainter& painter, const QPainterPath& body, double k, const RGB& base, double r,
               double pixelScale, double angle = 0, double band = 0);
// The white highlight at the upper left, its streak and the sparkle at the
// lower right; `main` and `streak` are their opacities.
void glossHighlight(QPainter& painter, double main, double streak, double r, double pixelScale);
// A light along the lower rim of the circle of radius `r`.
void rimLight(QPainter& painter, double r, double pixelScale, double strength);
// Fills `path` white at `opacity` with a white glow `factor` times the
// highlight's.
void softGlow(QPainter& painter, const QPainterPath& path, double opacity, double r, double factor);
// Eyes, a smiling mouth and, when given, cheeks; `size` scales the face and
// `centreY` places it.
void beadFace(QPainter& painter, double size, double centreY, std::optional<RGB> cheeks);

} // namespace tessaro
