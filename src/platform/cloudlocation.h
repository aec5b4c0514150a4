#pragma once

#include <QString>
#include <QUrl>

#include <memory>
#include <optional>

namespace tessaro {

class KeyValueStore;
class Preferences;

// Where this device meets the user's other devices. The cloud folder is a
// plain folder that a file-sync engine shares; key-value data live in its
// "KeyValue" folder unless a Redis server is named.
struct CloudLocation {
    QString folder;
    // Set when the key-value data live in a Redis server instead.
    QUrl redis;
};

// The folder for "state.json" and the local "Drawings".
QString dataFolder();

// TESSARO_CLOUD (a folder, or a redis:// address) wins over the "cloud.folder"
// preference; without either the cloud folder lies under the data folder.
CloudLocation cloudLocation(const QString& dataFolder, const Preferences& preferences);

std::unique_ptr<KeyValueStore> createKeyValueStore(const CloudLocation& location);

// The cloud drawing folder when the cloud folder can be used: it exists (or
// can be made) and is writable. Blocking; call it away from the main thread.
std::optional<QString> resolveCloudDrawingFolder(const CloudLocation& location);

} // namespace tessaro
