#pragma once

#include <QColor>
#include <QIcon>

namespace tessaro {

// The symbol of an empty case, a tray: the icon theme's inbox where the
// theme has one, else a tray drawn in `colour`, so it is never blank.
QIcon trayIcon(const QColor& colour);

// The drawn tray alone, for where no theme may answer.
QIcon drawnTrayIcon(const QColor& colour);

} // namespace tessaro
