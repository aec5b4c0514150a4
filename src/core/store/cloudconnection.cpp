#include "cloudconnection.h"

#include "penstore.h"
#include "platform/keyvaluestore.h"
#include "platform/preferences.h"
#include "platform/rediskeyvaluestore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <mutex>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace tessaro {

using namespace Qt::StringLiterals;

// Lets a check's thread hand its answer over only while the connection
// exists and the check is still the latest one.
struct CloudConnection::Check {
    std::mutex mutex;
    CloudConnection* owner = nullptr;
};

namespace {

const QString folderKey = u"cloud.folder"_s;

// "Set up" means the folder is there and this user may write in it.
bool folderReachable(const QString& folder) {
    return QFileInfo(folder).isDir() &&
           ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}

} // namespace

CloudConnection::CloudConnection(QString dataFolder, Preferences& preferences, QObject* parent)
    : CloudSettings(parent)
    , m_dataFolder(std::move(dataFolder))
    , m_preferences(preferences)
    , m_location(cloudLocation(m_dataFolder, m_preferences))
    , m_keyValues(createKeyValueStore(m_location)) {
    connectStore();
}

CloudConnection::~CloudConnection() {
    if (m_check) {
        const std::lock_guard lock(m_check->mutex);
        m_check->owner = nullptr;
    }
}

DrawingFiles::CloudResolver CloudConnection::drawingResolver() const {
    return [location = m_location] { return resolveCloudDrawingFolder(location); };
}

void CloudConnection::attach(PenStore& store) {
    m_store = &store;
}

CloudStatus CloudConnection::status() const {
    CloudStatus status;
    status.setByEnvironment = !qEnvironmentVariableIsEmpty("TESSARO_CLOUD");
    if (m_location.redis.isValid()) {
        status.kind = CloudStatus::Kind::redis;
        status.place = m_location.redis.toString(QUrl::RemoveUserInfo);
        const auto* redis = qobject_cast<const RedisKeyValueStore*>(m_keyValues.get());
        status.reachable = redis && redis->isOnline();
        return status;
    }
    status.place = m_location.folder;
    status.reachable = m_folderReachable;
    return status;
}

void CloudConnection::refresh() {
    // A server tells its own state as it changes.
    if (m_location.redis.isValid()) {
        Q_EMIT statusChanged();
        return;
    }
    if (m_check) {
        const std::lock_guard lock(m_check->mutex);
        m_check->owner = nullptr;
    }
    m_check = std::make_shared<Check>();
    m_check->owner = this;
    // A thread of its own: a folder on a dead network mount can hang the
    // look for as long as the mount does.
    try {
        std::thread([check = m_check, folder = m_location.folder] {
            const bool reachable = folderReachable(folder);
            const std::lock_guard lock(check->mutex);
            if (CloudConnection* owner = check->owner)
                QMetaObject::invokeMethod(
                    owner,
                    [owner, check, reachable] {
                        if (owner->m_check == check)
                            owner->checked(reachable);
                    },
                    Qt::QueuedConnection);
        }).detach();
    } catch (const std::system_error&) {
        checked(false);
    }
}

void CloudConnection::checked(bool reachable) {
    if (m_folderReachable == reachable)
        return;
    m_folderReachable = reachable;
    Q_EMIT statusChanged();
}

void CloudConnection::chooseFolder(const QString& folder) {
    const QString cleaned = folder.isEmpty() ? QString() : QDir::cleanPath(folder);
    m_preferences.setValue(folderKey, cleaned);
    const CloudLocation next = cloudLocation(m_dataFolder, m_preferences);
    // The same place, or one that TESSARO_CLOUD still decides.
    if (next.folder == m_location.folder && next.redis == m_location.redis)
        return;
    std::unique_ptr<KeyValueStore> keyValues = createKeyValueStore(next);
    m_location = next;
    m_folderReachable.reset();
    if (m_store)
        m_store->switchCloud(keyValues.get(), drawingResolver());
    // The old store goes only once the pen store has let go of it; it
    // finishes the writes it holds as it goes.
    m_keyValues = std::move(keyValues);
    connectStore();
    Q_EMIT statusChanged();
    refresh();
}

void CloudConnection::connectStore() {
    if (auto* redis = qobject_cast<RedisKeyValueStore*>(m_keyValues.get()))
        connect(redis, &RedisKeyValueStore::onlineChanged, this, &CloudSettings::statusChanged);
}

} // namespace tessaro
