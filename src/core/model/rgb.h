#pragma once

#include <QStringView>

namespace tessaro {

// A colour with channels on the 0..255 scale.
struct RGB {
    double r = 0;
    double g = 0;
    double b = 0;

    friend bool operator==(const RGB&, const RGB&) = default;
};

// Reads "#RRGGBB" (the "#" is optional); anything unreadable gives black.
RGB rgbFromHex(QStringView text);

// Moves a 0..255 channel by amount × 255, rounded half away from zero and clamped.
double shift(double channel, double amount);

} // namespace tessaro
