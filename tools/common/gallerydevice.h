#pragma once

// What every gallery renders over: a store in a temporary folder with the
// language and appearance managers installed, as the entry builds them.
#include "appearance/appearancemanager.h"
#include "l10n/languagemanager.h"
#include "platform/folderkeyvaluestore.h"
#include "platform/preferences.h"
#include "store/penstore.h"

#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace tessaro::gallery {

// "<folder> [scale]": where the pictures go and the screen's scale (1 or 2).
struct Arguments {
    QString folder;
    QByteArray scale = "1";
};

// Reads the arguments and sets up the offscreen screen at that scale; call
// before the application exists. None after printing `usage`.
inline std::optional<Arguments> screenArguments(int argc, char** argv, const char* usage) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s\n", usage);
        return std::nullopt;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    Arguments arguments;
    arguments.folder = QString::fromLocal8Bit(argv[1]);
    if (argc > 2)
        arguments.scale = argv[2];
    qputenv("QT_SCALE_FACTOR", arguments.scale);
    QDir().mkpath(arguments.folder);
    return arguments;
}

struct Device {
    QTemporaryDir data;
    FolderKeyValueStore cloud{data.filePath(QStringLiteral("cloud"))};
    SettingsPreferences standard{data.filePath(QStringLiteral("tessaro.conf"))};
    SettingsPreferences group{data.filePath(QStringLiteral("group.conf"))};
    LanguageManager language{standard, group};
    LanguageManager::Installation languageInstalled{language};
    AppearanceManager appearance{standard};
    AppearanceManager::Installation appearanceInstalled{appearance};
    std::unique_ptr<PenStore> store = makeStore(data.path());

    // Another store over the same preferences, in a folder of its own.
    std::unique_ptr<PenStore> makeStore(const QString& folder) {
        PenStore::Environment environment;
        environment.dataFolder = folder;
        environment.keyValueStore = &cloud;
        environment.groupPreferences = &group;
        return std::make_unique<PenStore>(environment);
    }
};

} // namespace tessaro::gallery
