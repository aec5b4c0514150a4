// Tessaro's entry: builds the long-lived objects once (the preferences, the
// language and appearance managers, the store with its cloud) and shows the
// main window over them.
#include "appearance/appearancemanager.h"
#include "l10n/languagemanager.h"
#include "platform/cloudlocation.h"
#include "platform/gui/desktopappearance.h"
#include "platform/gui/desktopmotion.h"
#include "platform/gui/urlopener.h"
#include "platform/preferences.h"
#include "platform/widgets/clipboard.h"
#include "platform/widgets/filedialogs.h"
#include "platform/widgets/sharemenu.h"
#include "store/cloudconnection.h"
#include "store/penstore.h"
#include "ui/pages/pagefiles.h"
#include "ui/window/mainwindow.h"
#include "ui/window/sheets.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

// Qt aborts with a page of advice when it finds no display; one line says
// the same.
bool hasDisplay() {
    return !qEnvironmentVariableIsEmpty("DISPLAY")
           || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
           || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

} // namespace

int main(int argc, char** argv) {
    if (!hasDisplay()) {
        std::fprintf(stderr, "tessaro: no display to show the window on "
                             "(neither DISPLAY nor WAYLAND_DISPLAY is set)\n");
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"tessaro"_s);
    QApplication::setApplicationDisplayName(u"Tessaro"_s);
    QApplication::setDesktopFileName(u"app.tessaro.Tessaro"_s);

    const QString preferencesFolder = userPreferencesFolder();
    SettingsPreferences standard(QDir(preferencesFolder).filePath(standardPreferencesFile));
    SettingsPreferences group(QDir(preferencesFolder).filePath(groupPreferencesFile));

    LanguageManager language(standard, group);
    const LanguageManager::Installation languageInstalled(language);
    DesktopAppearance desktopAppearance;
    AppearanceManager appearance(standard);
    appearance.setSystemAppearance(&desktopAppearance);
    const AppearanceManager::Installation appearanceInstalled(appearance);
    DesktopMotion motion;

    // The cloud comes first: the store loads over it, and the settings may
    // move it to another folder while the program runs.
    const QString data = dataFolder();
    CloudConnection cloud(data, standard);
    PenStore::Environment environment;
    environment.dataFolder = data;
    environment.keyValueStore = cloud.keyValueStore();
    environment.groupPreferences = &group;
    environment.cloudResolver = cloud.drawingResolver();
    PenStore store(environment);
    cloud.attach(store);

    QtFileDialogs dialogs;
    QtClipboard clipboard;
    QtShareMenu shareMenu(clipboard);
    DesktopUrlOpener urls;
    StorePageFiles pages(store);
    const SheetServices services{dialogs, clipboard, shareMenu, urls, cloud, pages};
    MainWindow window(store, &motion, [&store, &services](ContentView& content) {
        offerSheets(content, store, services);
    });
    window.resize(1000, 760);
    window.show();
    const int result = QApplication::exec();
    // Every change is already on its way to disk; wait until it is there.
    store.flush();
    return result;
}
