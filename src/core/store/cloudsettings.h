#pragma once

#include <QObject>
#include <QString>

#include <optional>

namespace tessaro {

// Where this device syncs, as the settings show it.
struct CloudStatus {
    enum class Kind { folder, redis };
    Kind kind = Kind::folder;
    // The cloud folder, or the Redis server's address (without its password).
    QString place;
    // Whether the folder exists and may be written, or the server is
    // connected; none while that is still being found out.
    std::optional<bool> reachable;
    // TESSARO_CLOUD names the place; a folder chosen in the settings waits
    // until it no longer does.
    bool setByEnvironment = false;

    friend bool operator==(const CloudStatus&, const CloudStatus&) = default;
};

// What the settings show of the cloud, and the one thing they change in it.
class CloudSettings : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    virtual CloudStatus status() const = 0;
    // Finds out again whether the place is reachable; statusChanged follows
    // when the answer differs.
    virtual void refresh() = 0;
    // Makes `folder` the cloud folder ("cloud.folder") and syncs with it from
    // now on, without a restart.
    virtual void chooseFolder(const QString& folder) = 0;

Q_SIGNALS:
    void statusChanged();
};

} // namespace tessaro
