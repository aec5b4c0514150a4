#pragma once

#include <QFont>

namespace tessaro {

enum class FontDesign { standard, rounded };

// The desktop's interface font at `pixelSize` logical pixels. The rounded
// design asks for Quicksand first and falls back to the interface font.
QFont interfaceFont(int pixelSize, QFont::Weight weight, FontDesign design = FontDesign::standard);

} // namespace tessaro
