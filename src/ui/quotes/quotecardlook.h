#pragma once

#include <QFont>

// The measures and fonts of a quote card, shared by the card and its buttons.
namespace tessaro::cardlook {

inline constexpr double radius = 22;
inline constexpr double paddingX = 16;
inline constexpr double paddingY = 14;
// Between the quote and its footer.
inline constexpr double footerGap = 8;

QFont textFont();
QFont footerFont();
QFont linkFont();
QFont deleteFont();

} // namespace tessaro::cardlook
