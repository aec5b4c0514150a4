#pragma once

#include "model/rgb.h"

#include <QColor>

namespace tessaro {

// Colour arithmetic of the painters, on 0 … 255 channels, rounded half away
// from zero and clamped.
RGB shifted(const RGB& colour, double amount);
RGB lightened(const RGB& colour, double fraction);
QColor toColor(const RGB& colour, double opacity = 1);

} // namespace tessaro
