#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <optional>

namespace tessaro {

// The cloud key-value store: binary values under keys, shared by all the
// user's devices. Backends: a folder carried by a file-sync engine (the
// default) and a Redis server. Reads answer from memory and writes are sent
// in the background, so that no call waits for a disk or a network.
class KeyValueStore : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    virtual std::optional<QByteArray> data(const QString& key) = 0;
    // Takes `value` for storing; false (and logged) when the store refuses
    // it outright, such as a value over its size limit. A write that fails
    // later is kept, tried again and reported through writeFailed.
    virtual bool setData(const QString& key, const QByteArray& value) = 0;
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
    // A write did not reach the store this time, for `reason`; the store
    // keeps the value and tries again.
    void writeFailed(const QString& key, const QString& reason);
};

} // namespace tessaro
