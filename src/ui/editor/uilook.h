#pragma once

#include "appearance/appearancemanager.h"

#include <QColor>
#include <QFont>
#include <QObject>

#include <functional>

class QWidget;

// How the editor's parts look, in the terms of the shared widgets: the
// interface colours in the appearance shown now, the interface font, and a
// watch that tells a view when either the appearance or the language turned.
namespace tessaro::look {

// The installed appearance manager decides; without one, the lightness of
// the desktop's palette.
bool isDark();
QColor colour(const PaletteColour& colour, double opacity = 1);
QColor colour(const PaletteColour& colour, bool dark, double opacity = 1);

// The desktop's interface font at `size` logical pixels (rounded to whole
// pixels).
QFont font(double size, QFont::Weight weight);

// Calls `appearance` whenever the interface turns light or dark and
// `language` whenever the chosen language changes, for as long as `widget`
// lives.
class Watch final : public QObject {
    Q_OBJECT

public:
    Watch(QWidget* widget, std::function<void()> appearance, std::function<void()> language);
};

} // namespace tessaro::look
