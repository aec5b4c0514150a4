#pragma once

#include "model/catalog.h"

#include <QList>
#include <QPainterPath>
#include <QPointF>
#include <QSizeF>
#include <QString>

#include <functional>
#include <optional>

class QPainter;

namespace tessaro {

struct Pen;

// One placed bead of a pen picture, in pen space.
struct ShadowBead {
    double x = 0;
    double y = 0;
    double r = 0;
    // The shaped outline at the silhouette radius, centred on (0, 0); absent
    // for round-bodied beads.
    std::optional<QPainterPath> silhouette;
};

// A bead dragged over the pen and the slot it would drop into.
struct DragPreview {
    BeadSpec bead;
    int targetSlot = 0;
};

// Everything drawPen needs; the painter is expected to be in pen space.
struct DrawPenOptions {
    QList<BeadSpec> beads; // in slot order
    bool dark = false;
    std::optional<BarrelSpec> barrel; // the palette's default barrel when absent
    PenType type = PenType::pencil;
    QString ink = defaultInk;
    double angle = 0; // the pen's angle on screen, radians
    std::optional<int> selected;
    std::optional<DragPreview> preview;
    double pixelScale = 2; // device pixels per pen unit
    // Take the pixel scale from the painter's transform and device instead.
    bool deriveScaleFromContext = false;
    bool skipShadows = false;
    // Paint the parts that look the same from frame to frame (body, beads,
    // shades) once and copy them afterwards. Off for one-off pictures, which
    // would only fill the cache.
    bool cacheParts = true;
};

// Where the beads go, with the gap a drop would open.
QList<ShadowBead> placeBeads(const QList<BeadSpec>& beads, std::optional<int> gap);

// Draws a whole pen: shadows, body, beads, selection and drag preview. The
// painter's state is left as it was found.
void drawPen(QPainter& painter, const DrawPenOptions& options);

// Draws a charm hanging from `anchor` (view space) at layout `scale`.
using CharmPaint = std::function<void(QPainter& painter, QPointF anchor, double scale,
                                      const QString& kind, bool dark)>;

// A whole pen centred in a canvas of `size`; without an angle, the stage's
// rule. The charm is drawn only when shown and a painter for it is given.
void paintPenArtwork(QPainter& painter, QSizeF size, const Pen& pen, bool dark,
                     std::optional<double> angle, bool showCharm, double devicePixelRatio,
                     const CharmPaint& charm = {});

// A flat pen of one type without beads, for the type picker.
void paintPenTypeThumb(QPainter& painter, QSizeF size, PenType type, QStringView barrel,
                       QStringView ink, bool dark, double devicePixelRatio);

// One bead centred in its frame, for the tray.
void paintBeadIcon(QPainter& painter, QSizeF size, const BeadSpec& bead, double devicePixelRatio);

} // namespace tessaro
