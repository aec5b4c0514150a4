#pragma once

#include <QIcon>
#include <QStringList>

class QPainter;
class QRectF;

namespace tessaro {

// Draws a symbol into `box` with the painter's pen, in the colour of the text
// it stands beside.
using SymbolDrawing = void (*)(QPainter& painter, const QRectF& box);

// The first of `names` the desktop's icon theme has, or else `fallback`,
// drawn at any size, so that a symbol is never blank.
QIcon themedSymbol(const QStringList& names, SymbolDrawing fallback);

} // namespace tessaro
