#pragma once

#include <QImage>

#include <algorithm>
#include <cstdlib>

namespace tessaro::test {

// How many pixels of two same-sized images differ in some colour channel by
// more than `tolerance` levels.
inline int pixelsApart(const QImage& a, const QImage& b, int tolerance) {
    int apart = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            apart += std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                               std::abs(qBlue(p) - qBlue(q))}) > tolerance;
        }
    return apart;
}

} // namespace tessaro::test
