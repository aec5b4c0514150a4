#pragma once

#include "appearance/appearancemanager.h"

#include <QColor>
#include <QObject>

#include <functional>

class QWidget;

namespace tessaro {

// Whether the interface shows dark now: the installed appearance manager
// decides; without one, the lightness of the desktop's palette.
bool interfaceIsDark();

// A palette colour in the appearance the interface shows now.
QColor interfaceColour(const PaletteColour& colour, double opacity = 1);

// Calls `changed` whenever the interface turns light or dark, for as long as
// `widget` lives: on the installed manager's word, or on a change of the
// desktop's palette when none is installed.
class AppearanceWatch final : public QObject {
    Q_OBJECT

public:
    AppearanceWatch(QWidget* widget, std::function<void()> changed);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void check();

    std::function<void()> m_changed;
    bool m_dark;
};

} // namespace tessaro
