#include "penpalette.h"

namespace tessaro {

namespace {

constexpr RGB hex(unsigned value) {
    return {double((value >> 16) & 0xFF), double((value >> 8) & 0xFF), double(value & 0xFF)};
}

constexpr PenPalette light{hex(0xFFF4EA), hex(0xF0DFD0), hex(0xD9B79E),
                           hex(0x5A4A42), hex(0xFFF8F0), hex(0xA8968C)};
constexpr PenPalette dark{hex(0x6A5346), hex(0x57433A), hex(0xB08A70),
                          hex(0xF6EDE4), hex(0x2B211C), hex(0xB9A59A)};

} // namespace

const PenPalette& lightPenPalette() {
    return light;
}

const PenPalette& darkPenPalette() {
    return dark;
}

const PenPalette& penPalette(bool isDark) {
    return isDark ? dark : light;
}

} // namespace tessaro
