// tessaro-widget: a small card on the desktop with the pen, the newest quotes
// and the latest drawing, as Tessaro last saved them.
#include "widgetwindow.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QStandardPaths>

#include <cstdio>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

bool hasDisplay() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

// Tessaro beside this program, where the two are installed together, else
// the one on the path; empty when there is none.
QString tessaroProgram() {
    const QFileInfo beside(QDir(QCoreApplication::applicationDirPath()).filePath(u"tessaro"_s));
    if (beside.isFile() && beside.isExecutable())
        return beside.filePath();
    return QStandardPaths::findExecutable(u"tessaro"_s);
}

} // namespace

int main(int argc, char** argv) {
    if (!hasDisplay()) {
        std::fprintf(stderr, "tessaro-widget: no display to show the card on "
                             "(neither DISPLAY nor WAYLAND_DISPLAY is set)\n");
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"tessaro-widget"_s);
    QApplication::setApplicationDisplayName(u"Tessaro"_s);
    QApplication::setDesktopFileName(u"app.tessaro.Tessaro"_s);

    // One card is enough: a second start leaves the first in place.
    QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty())
        runtime = QDir::tempPath();
    QLockFile lock(QDir(runtime).filePath(u"tessaro-widget.lock"_s));
    lock.setStaleLockTime(0);
    if (!lock.tryLock()) {
        std::fprintf(stderr, "tessaro-widget: already running\n");
        return 0;
    }

    // The folder and file name the program keeps its group preferences under.
    const QDir folder(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                      u"/tessaro"_s);
    WidgetWindow::Services services;
    services.groupFile = folder.filePath(u"group.conf"_s);
    services.settingsFile = folder.filePath(u"tessaro-widget.conf"_s);
    if (const QString program = tessaroProgram(); !program.isEmpty())
        services.openTessaro = [program] { return QProcess::startDetached(program, {}); };

    WidgetWindow window(services);
    QObject::connect(&window, &WidgetWindow::closed, &app, &QCoreApplication::quit);
    window.show();
    return QApplication::exec();
}
