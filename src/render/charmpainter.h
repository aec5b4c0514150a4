#pragma once

#include "model/rgb.h"
#include "penpalette.h"

#include <QPointF>
#include <QSizeF>
#include <QString>

#include <optional>

class QPainter;

namespace tessaro {

// Paints the charm hanging from the pen at `anchor`: chain, jump ring and the
// figure of `kind` (a bunny for any kind it does not know), swung about a
// pivot just below the anchor by `swingDegrees`. `layoutScale` sizes it like
// the pen; `pixelScale` is device pixels per unit, below which details are
// skipped. Painter state is left as it was found.
void drawCharm(QPainter& painter, QPointF anchor, double layoutScale, double swingDegrees,
               const QString& kind, const PenPalette& palette, double pixelScale,
               bool skipShadow = false);

// The charm of `kind` alone in a `size` frame, for the charm picker: jump
// ring and figure with its shadow, no chain.
void paintCharmIcon(QPainter& painter, QSizeF size, const QString& kind, bool dark,
                    double devicePixelRatio);

// The eyes, smiling mouth and, when given, cheeks of the charm figures, at
// `centre` and figure size `size`.
void charmFace(QPainter& painter, QPointF centre, double size, std::optional<RGB> cheeks);

} // namespace tessaro
