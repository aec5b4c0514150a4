#include "rgb.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

namespace tessaro {

namespace {

// Unsigned 32-bit base-16 parse with the usual integer-parser rules: an
// optional "+", a "-" only in front of zero, no other characters, no overflow.
std::optional<std::uint32_t> parseHex32(QStringView text) {
    bool negative = false;
    if (text.startsWith(u'+')) {
        text = text.mid(1);
    } else if (text.startsWith(u'-')) {
        negative = true;
        text = text.mid(1);
    }
    if (text.isEmpty())
        return std::nullopt;
    std::uint64_t value = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        int digit;
        if (u >= '0' && u <= '9')
            digit = u - '0';
        else if (u >= 'a' && u <= 'f')
            digit = u - 'a' + 10;
        else if (u >= 'A' && u <= 'F')
            digit = u - 'A' + 10;
        else
            return std::nullopt;
        value = value * 16 + std::uint64_t(digit);
        if (value > 0xFFFFFFFFu)
            return std::nullopt;
    }
    if (negative && value != 0)
        return std::nullopt;
    return std::uint32_t(value);
}

} // namespace

RGB rgbFromHex(QStringView text) {
    if (text.startsWith(u'#'))
        text = text.mid(1);
    if (text.isEmpty())
        return {};
    const std::uint32_t value = parseHex32(text).value_or(0);
    return {double((value >> 16) & 0xFF), double((value >> 8) & 0xFF), double(value & 0xFF)};
}

double shift(double channel, double amount) {
    const double moved = std::round(channel + amount * 255.0);
    // NaN compares false both ways; the clamp must still land in range.
    if (!(moved <= 255.0))
        return moved != moved ? 0.0 : 255.0;
    return std::max(moved, 0.0);
}

} // namespace tessaro
