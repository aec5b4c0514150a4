#include "interfacecolours.h"

#include "render/paintcolour.h"

#include <QApplication>
#include <QEvent>
#include <QPalette>
#include <QWidget>

namespace tessaro {

bool interfaceIsDark() {
    if (const AppearanceManager* manager = AppearanceManager::shared())
        return manager->isDark();
    return QApplication::palette().color(QPalette::Window).lightness() < 128;
}

QColor interfaceColour(const PaletteColour& colour, double opacity) {
    return toColor(colour.resolved(interfaceIsDark()), opacity);
}

AppearanceWatch::AppearanceWatch(QWidget* widget, std::function<void()> changed)
    : QObject(widget)
    , m_changed(std::move(changed))
    , m_dark(interfaceIsDark()) {
    if (AppearanceManager* manager = AppearanceManager::shared())
        connect(manager, &AppearanceManager::appearanceChanged, this, &AppearanceWatch::check);
    widget->installEventFilter(this);
}

bool AppearanceWatch::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange)
        check();
    return QObject::eventFilter(watched, event);
}

void AppearanceWatch::check() {
    // Palette events also follow a widget's own palette changes; only a turn
    // of the appearance counts.
    const bool dark = interfaceIsDark();
    if (dark == m_dark)
        return;
    m_dark = dark;
    m_changed();
}

} // namespace tessaro
