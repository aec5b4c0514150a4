#pragma once

#include "model/catalog.h"
#include "render/penpalette.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QStringView>

#include <optional>

class QPainter;

namespace tessaro {

// Everything a body painter needs to draw one pen body in pen space.
struct BodyInput {
    double thick = 66;
    PenPalette palette = lightPenPalette();
    RGB top;    // the barrel's upper colour
    RGB bottom; // the barrel's lower colour
    RGB ink;
    double pixelScale = 2; // device pixels per pen unit
    bool dark = false;
};

// The ink id as a colour; an id that is not a catalog ink gives the first
// catalog ink.
RGB inkColour(QStringView inkId);

// The record for a pen type, its barrel (the palette's default barrel when
// there is none), ink and appearance.
BodyInput makeBodyInput(PenType type, const std::optional<BarrelSpec>& barrel, QStringView inkId,
                        bool dark, double pixelScale);

// The glossy cylinder shading shared by the barrels, across a body T high.
QLinearGradient barrelShading(double thick, const RGB& top, const RGB& bottom);

// The closed outline of a whole body, for its shadow.
QPainterPath bodyOutline(PenType type, double thick);

// Draws the body of a pen type in pen space. The painter's state is left as
// it was found.
void drawBody(QPainter& painter, PenType type, const BodyInput& input);

} // namespace tessaro
