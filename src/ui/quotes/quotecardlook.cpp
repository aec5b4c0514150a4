#include "quotecardlook.h"

#include "ui/common/interfacefont.h"

#include <QFontMetricsF>

#include <cmath>
#include <optional>

namespace tessaro::cardlook {

namespace {

Fonts build() {
    Fonts fonts;
    fonts.text = interfaceFont(15, QFont::Normal);
    fonts.footer = interfaceFont(12, QFont::Normal);
    fonts.link = interfaceFont(12, QFont::DemiBold);
    fonts.link.setUnderline(true);
    fonts.deleteLabel = interfaceFont(13, QFont::Bold);
    fonts.footerHeight = std::ceil(
        std::max(QFontMetricsF(fonts.footer).height(), QFontMetricsF(fonts.link).height()));
    fonts.textLineHeight = QFontMetricsF(fonts.text).height();
    return fonts;
}

std::optional<Fonts>& cache() {
    static std::optional<Fonts> fonts;
    return fonts;
}

} // namespace

const Fonts& fonts() {
    if (!cache())
        cache() = build();
    return *cache();
}

void refreshFonts() {
    cache() = build();
}

} // namespace tessaro::cardlook
