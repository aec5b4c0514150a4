// Tessaro's entry: makes sure one Tessaro runs (a later start hands its
// request over and ends), builds the long-lived objects once (the
// preferences, the language and appearance managers, the store with its
// cloud, the keeper) and puts the window, the tray menu and the hot key over
// them.
#include "appearance/appearancemanager.h"
#include "l10n/languagemanager.h"
#include "l10n/localization.h"
#include "platform/cloudlocation.h"
#include "platform/gui/desktopappearance.h"
#include "platform/gui/desktopmotion.h"
#include "platform/gui/globalhotkey.h"
#include "platform/gui/urlopener.h"
#include "platform/preferences.h"
#include "platform/widgets/clipboard.h"
#include "platform/widgets/filedialogs.h"
#include "platform/widgets/sharemenu.h"
#include "shell/applicationservice.h"
#include "shell/desktopshell.h"
#include "shell/keeper.h"
#include "shell/singleinstance.h"
#include "shell/traymenu.h"
#include "store/cloudconnection.h"
#include "store/penstore.h"
#include "ui/pages/pagefiles.h"
#include "ui/window/mainwindow.h"
#include "ui/window/sheets.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QShortcut>
#include <QStandardPaths>
#include <QSystemTrayIcon>

#include <cstdio>
#include <cstring>

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

constexpr const char* usage =
    "usage: tessaro [--service | --keep-clipboard | LINK...]\n"
    "  Starts Tessaro, or brings the one that runs forward.\n"
    "  LINK              a tessaro://keep?q=TEXT&src=SOURCE&url=ADDRESS link: keeps TEXT as a quote\n"
    "  --keep-clipboard  keeps the clipboard's text as a quote\n"
    "  --service         runs without showing the window until asked (for D-Bus activation)\n";

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(usage, stdout);
            return 0;
        }
    }
    if (!hasDisplay()) {
        std::fprintf(stderr, "tessaro: no display to show the window on "
                             "(neither DISPLAY nor WAYLAND_DISPLAY is set)\n");
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"tessaro"_s);
    QApplication::setApplicationDisplayName(u"Tessaro"_s);
    QApplication::setDesktopFileName(u"app.tessaro.Tessaro"_s);
    // The installed icon for the window and the task switcher.
    QApplication::setWindowIcon(QIcon::fromTheme(u"app.tessaro.Tessaro"_s));

    QString argumentError;
    const std::optional<LaunchRequest> request =
        parseLaunch(QApplication::arguments().mid(1), &argumentError);
    if (!request) {
        std::fprintf(stderr,
                     "tessaro: %s\n%s", qPrintable(argumentError), usage);
        return 2;
    }

    // Before anything is loaded: a later start hands its request over and
    // ends without touching the data.
    ApplicationService service;
    SingleInstance instance(service, QDBusConnection::sessionBus(),
                            QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation));
    QString instanceError;
    switch (instance.start(*request, &instanceError)) {
    case SingleInstance::Role::forwarded:
        return 0;
    case SingleInstance::Role::failed:
        std::fprintf(stderr, "tessaro: %s\n", qPrintable(instanceError));
        return 1;
    case SingleInstance::Role::first:
        break;
    }

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
    // The keeper takes text from the start, before any window is shown.
    Keeper keeper(store);
    service.setKeeper(&keeper);

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
    auto* quit = new QShortcut(QKeySequence::Quit, &window);
    quit->setContext(Qt::ApplicationShortcut);
    QObject::connect(quit, &QShortcut::activated, &app, &QApplication::quit);

    DesktopShell shell(window, keeper, clipboard);
    QObject::connect(&service, &ApplicationService::requested, &shell,
                     [&shell](const LaunchRequest& later) { shell.handle(later); });
    // The icon waits for a tray that appears later, as panels often do.
    TrayMenu tray(store, keeper, TrayMenu::desktopRows());
    QObject::connect(&tray, &TrayMenu::quitRequested, &app, &QApplication::quit);
    shell.setTray(&tray);
    // Ctrl+Alt+K from anywhere; where the desktop refuses it there is none.
    const std::unique_ptr<GlobalHotKey> hotKey =
        GlobalHotKey::ctrlAlt('K', L(u"mac.hotkeyHint"_s));
    if (hotKey)
        QObject::connect(hotKey.get(), &GlobalHotKey::pressed, &keeper,
                         [&keeper] { keeper.bringToFront(true); });
    // Closing the window hides it while the tray or the hot key can bring
    // it back; with neither, closing it quits, so no Tessaro runs unseen.
    QApplication::setQuitOnLastWindowClosed(false);
    shell.setQuitOnClose([hasHotKey = bool(hotKey)] {
        return !hasHotKey && !QSystemTrayIcon::isSystemTrayAvailable();
    });
    QObject::connect(&shell, &DesktopShell::quitRequested, &app, &QApplication::quit,
                     Qt::QueuedConnection);

    shell.handle(*request, true);
    const int result = QApplication::exec();
    // Every change is already on its way to disk; wait until it is there.
    store.flush();
    return result;
}
