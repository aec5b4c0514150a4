#pragma once

#include <QFont>

// The measures and fonts of a quote card, shared by the card and its buttons.
namespace tessaro::cardlook {

inline constexpr double radius = 22;
inline constexpr double paddingX = 16;
inline constexpr double paddingY = 14;
// Between the quote and its footer.
inline constexpr double footerGap = 8;

struct Fonts {
    QFont text;
    QFont footer;
    QFont link;
    QFont deleteLabel;
    // The footer's line, tall enough for the link's font too.
    double footerHeight;
    double textLineHeight;
};

// Built on first use and kept: a list of hundreds of cards asks for them at
// every layout pass. GUI thread only.
const Fonts& fonts();
// Builds them again, after the application's font changed.
void refreshFonts();

} // namespace tessaro::cardlook
