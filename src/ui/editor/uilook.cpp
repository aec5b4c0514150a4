#include "uilook.h"

#include "l10n/languagemanager.h"
#include "render/paintcolour.h"
#include "ui/common/interfacecolours.h"
#include "ui/common/interfacefont.h"

#include <QWidget>

#include <cmath>

namespace tessaro::look {

bool isDark() {
    return interfaceIsDark();
}

QColor colour(const PaletteColour& colour, double opacity) {
    return interfaceColour(colour, opacity);
}

QColor colour(const PaletteColour& colour, bool dark, double opacity) {
    return toColor(colour.resolved(dark), opacity);
}

QFont font(double size, QFont::Weight weight) {
    return interfaceFont(std::max(1, int(std::lround(size))), weight);
}

Watch::Watch(QWidget* widget, std::function<void()> appearance, std::function<void()> language)
    : QObject(widget) {
    new AppearanceWatch(widget, std::move(appearance));
    if (LanguageManager* manager = LanguageManager::shared())
        connect(manager, &LanguageManager::codeChanged, this,
                [language = std::move(language)] { language(); });
}

} // namespace tessaro::look
