#pragma once

#include "model/rgb.h"

#include <array>
#include <cstddef>

namespace tessaro {

// The six fixed colours every pen picture is drawn with; one set for the
// light appearance and one for the dark.
using PenPalette = std::array<RGB, 6>;

// What the pen painters take from a palette. Entries 3 and 5 belong to the
// surrounding views, not to the pen.
namespace paletteEntry {
inline constexpr std::size_t barrelTop = 0; // barrel colours when the barrel is unknown
inline constexpr std::size_t barrelBottom = 1;
inline constexpr std::size_t metal = 2;      // clips, cones, rings, ferrules, lead, chain
inline constexpr std::size_t background = 4; // what the pen sits on
} // namespace paletteEntry

const PenPalette& lightPenPalette();
const PenPalette& darkPenPalette();
const PenPalette& penPalette(bool dark);

} // namespace tessaro
