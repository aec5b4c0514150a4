#pragma once

#include "pageformat.h"

#include <QPointF>
#include <QRectF>

#include <vector>

class QPainter;

namespace tessaro {

// How a tool lays down ink: the opacity of its ink and the share of the
// nominal width that it keeps at zero pressure.
struct ToolStyle {
    double opacity = 1;
    double widthAtNoPressure = 0.5;
};

// The style of a pen type id; an unknown tool draws as the pencil.
ToolStyle toolStyle(QStringView tool);

// The outline of one stroke as a polygon in page points, to be filled with
// the winding rule: the smoothed path of its samples, as wide as the pressure
// asks at each sample, with round joins and round ends. `pixelsPerPoint`
// decides how finely curves are followed. Empty for a stroke without samples.
void strokeOutline(const PageStroke& stroke, double pixelsPerPoint, std::vector<QPointF>& outline);

// Paints the strokes onto a painter that draws in page points; strokes
// wholly outside `visible` (page points) are skipped.
void paintStrokes(QPainter& painter, const StrokePage& page, double pixelsPerPoint,
                  const QRectF& visible);

} // namespace tessaro
