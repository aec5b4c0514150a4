#include "uilook.h"

#include "l10n/languagemanager.h"
#include "render/paintcolour.h"

#include <QApplication>
#include <QEvent>
#include <QPalette>
#include <QWidget>

#include <cmath>

namespace tessaro::look {

bool isDark() {
    if (const AppearanceManager* manager = AppearanceManager::shared())
        return manager->isDark();
    return QApplication::palette().color(QPalette::Window).lightness() < 128;
}

QColor colour(const PaletteColour& colour, double opacity) {
    return toColor(colour.resolved(isDark()), opacity);
}

QColor colour(const PaletteColour& colour, bool dark, double opacity) {
    return toColor(colour.resolved(dark), opacity);
}

QFont font(double size, QFont::Weight weight) {
    QFont font = QApplication::font();
    font.setPixelSize(std::max(1, int(std::lround(size))));
    font.setWeight(weight);
    return font;
}

Watch::Watch(QWidget* widget, std::function<void()> appearance, std::function<void()> language)
    : QObject(widget)
    , m_appearance(std::move(appearance))
    , m_language(std::move(language))
    , m_dark(isDark()) {
    if (AppearanceManager* manager = AppearanceManager::shared())
        connect(manager, &AppearanceManager::appearanceChanged, this, &Watch::check);
    if (LanguageManager* manager = LanguageManager::shared())
        connect(manager, &LanguageManager::codeChanged, this, [this] { m_language(); });
    widget->installEventFilter(this);
}

bool Watch::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange)
        check();
    return QObject::eventFilter(watched, event);
}

void Watch::check() {
    // Palette events also follow a widget's own palette changes; only a turn
    // of the appearance counts.
    const bool dark = isDark();
    if (dark == m_dark)
        return;
    m_dark = dark;
    m_appearance();
}

} // namespace tessaro::look
