#include "quotecardlook.h"

#include "ui/common/interfacefont.h"

namespace tessaro::cardlook {

QFont textFont() {
    return interfaceFont(15, QFont::Normal);
}

QFont footerFont() {
    return interfaceFont(12, QFont::Normal);
}

QFont linkFont() {
    QFont font = interfaceFont(12, QFont::DemiBold);
    font.setUnderline(true);
    return font;
}

QFont deleteFont() {
    return interfaceFont(13, QFont::Bold);
}

} // namespace tessaro::cardlook
