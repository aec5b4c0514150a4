#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <optional>

namespace tessaro {

// The cloud key-value store: binary values under keys, shared by all the
// user's devices. Backends: a folder carried by a file-sync engine (the
// default) and a Redis server.
class KeyValueStore : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    virtual std::optional<QByteArray> data(const QString& key) = 0;
    virtual void setData(const QString& key, const QByteArray& value) = 0;
    // Asks the store to catch up with the other devices; a change found
    // raises externalChange.
    virtual void synchronize() = 0;

    // Values that another device wrote at the same time as the current one,
    // kept aside by a sync engine. They are read, merged by the caller, and
    // only then removed.
    struct ConflictCopy {
        QString name;
        QByteArray value;
    };
    virtual QList<ConflictCopy> conflictCopies(const QString& key) {
        Q_UNUSED(key);
        return {};
    }
    virtual void removeConflictCopy(const QString& key, const QString& name) {
        Q_UNUSED(key);
        Q_UNUSED(name);
    }

Q_SIGNALS:
    // Another device changed a value. Never raised for this program's own writes.
    void externalChange();
};

} // namespace tessaro
