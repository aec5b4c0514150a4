#pragma once

#include <QColor>
#include <QRectF>

class QPainter;

namespace tessaro {

// The sheet's symbols, drawn rather than taken from the icon theme: themes
// have nothing like them, and a drawn symbol is never blank.

// A loose scribble: a page without a thumbnail, and (bolder) no pages yet.
void paintScribble(QPainter& painter, const QRectF& box, const QColor& colour, double weight = 1);
// An arrow down in a circle: a page still to come through the cloud folder.
void paintArrowDownCircle(QPainter& painter, const QRectF& box, const QColor& colour);

} // namespace tessaro
