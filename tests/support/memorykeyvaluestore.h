#pragma once

#include "platform/keyvaluestore.h"

#include <QHash>

namespace tessaro::test {

// An in-memory cloud that counts writes; `remoteWrite` plays another device.
class MemoryKeyValueStore final : public KeyValueStore {
public:
    std::optional<QByteArray> data(const QString& key) override {
        const auto it = m_values.constFind(key);
        return it == m_values.cend() ? std::nullopt : std::optional(*it);
    }
    bool setData(const QString& key, const QByteArray& value) override {
        if (refuseWrites)
            return false;
        m_values.insert(key, value);
        ++writes;
        lastWrite = value;
        return true;
    }
    void synchronize() override { ++synchronizations; }
    QList<ConflictCopy> conflictCopies(const QString& key) override {
        return m_conflicts.value(key);
    }
    void removeConflictCopy(const QString& key, const QString& name) override {
        m_conflicts[key].removeIf([&](const ConflictCopy& copy) { return copy.name == name; });
    }

    void remoteWrite(const QString& key, const QByteArray& value) {
        m_values.insert(key, value);
        Q_EMIT externalChange();
    }
    void addConflictCopy(const QString& key, const QString& name, const QByteArray& value) {
        m_conflicts[key].append({name, value});
    }

    bool refuseWrites = false;
    int writes = 0;
    int synchronizations = 0;
    QByteArray lastWrite;

private:
    QHash<QString, QByteArray> m_values;
    QHash<QString, QList<ConflictCopy>> m_conflicts;
};

} // namespace tessaro::test
