#include "paintcolour.h"

#include <algorithm>
#include <cmath>

namespace tessaro {

RGB shifted(const RGB& c, double amount) {
    return {shift(c.r, amount), shift(c.g, amount), shift(c.b, amount)};
}

RGB lightened(const RGB& c, double fraction) {
    auto channel = [fraction](double v) {
        return std::clamp(std::round(v + (255 - v) * fraction), 0.0, 255.0);
    };
    return {channel(c.r), channel(c.g), channel(c.b)};
}

QColor toColor(const RGB& c, double opacity) {
    return QColor::fromRgbF(float(c.r / 255), float(c.g / 255), float(c.b / 255),
                            float(std::clamp(opacity, 0.0, 1.0)));
}

} // namespace tessaro
