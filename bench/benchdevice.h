#pragma once

// The program's long-lived objects as the benchmarks of screens build them:
// the managers over settings files in a temporary folder, a cloud that keeps
// nothing, and the environment of a store in that folder.
#include "appearance/appearancemanager.h"
#include "l10n/languagemanager.h"
#include "maximaldocument.h"
#include "nullkeyvaluestore.h"
#include "platform/preferences.h"
#include "store/penstore.h"

#include <QFile>
#include <QTemporaryDir>

namespace tessaro::bench {

struct Device {
    QTemporaryDir folder;
    NullKeyValueStore cloud;
    SettingsPreferences standard{folder.filePath(QStringLiteral("tessaro.conf"))};
    SettingsPreferences group{folder.filePath(QStringLiteral("group.conf"))};
    LanguageManager language{standard, group};
    LanguageManager::Installation languageInstalled{language};
    AppearanceManager appearance{standard};
    AppearanceManager::Installation appearanceInstalled{appearance};

    // A store made over it loads the folder's state file, if there is one.
    PenStore::Environment environment() {
        PenStore::Environment environment;
        environment.dataFolder = folder.path();
        environment.keyValueStore = &cloud;
        environment.groupPreferences = &group;
        environment.durability = Durability::unflushed;
        return environment;
    }

    // The largest document as the folder's state file; false when it could
    // not be written.
    bool writeMaximalState() {
        QFile state(folder.filePath(QStringLiteral("state.json")));
        return state.open(QIODevice::WriteOnly) && state.write(encodeState(maximalDocument())) >= 0;
    }
};

} // namespace tessaro::bench
