#include "cloudlocation.h"

#include "folderkeyvaluestore.h"
#include "preferences.h"
#include "rediskeyvaluestore.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace tessaro {

using namespace Qt::StringLiterals;

QString dataFolder() {
    const QString folder =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + u"/tessaro"_s;
    QDir().mkpath(folder);
    return folder;
}

CloudLocation cloudLocation(const QString& dataFolder, const Preferences& preferences) {
    CloudLocation location;
    location.folder = preferences.value(u"cloud.folder"_s).toString();
    const QString override = qEnvironmentVariable("TESSARO_CLOUD");
    if (override.startsWith(u"redis://"_s))
        location.redis = QUrl(override);
    else if (!override.isEmpty())
        location.folder = override;
    if (location.folder.isEmpty())
        location.folder = dataFolder + u"/Cloud"_s;
    return location;
}

std::unique_ptr<KeyValueStore> createKeyValueStore(const CloudLocation& location) {
    if (location.redis.isValid())
        return std::make_unique<RedisKeyValueStore>(location.redis);
    return std::make_unique<FolderKeyValueStore>(location.folder + u"/KeyValue"_s);
}

std::optional<QString> resolveCloudDrawingFolder(const CloudLocation& location) {
    const QString folder = location.folder + u"/Documents/Drawings"_s;
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isWritable())
        return std::nullopt;
    return folder;
}

} // namespace tessaro
