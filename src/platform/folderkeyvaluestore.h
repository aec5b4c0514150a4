#pragma once

#include "keyvaluestore.h"

#include <QHash>

class QFileSystemWatcher;
class QTimer;

namespace tessaro {

// Keys as files in a folder that a file-sync engine carries between the
// user's devices: one file per key, replaced atomically. A change that the
// engine writes raises externalChange; this store's own writes do not.
class FolderKeyValueStore final : public KeyValueStore {
    Q_OBJECT

public:
    explicit FolderKeyValueStore(const QString& folder, QObject* parent = nullptr);

    std::optional<QByteArray> data(const QString& key) override;
    void setData(const QString& key, const QByteArray& value) override;
    // Rescans the folder, in case the kernel dropped a change notification.
    void synchronize() override;
    QList<ConflictCopy> conflictCopies(const QString& key) override;
    void removeConflictCopy(const QString& key, const QString& name) override;

    QString folder() const { return m_folder; }
    // Key names become file names that no sync engine excludes: no leading
    // dot, nothing but letters, digits, ".", "-" and "_".
    static QString fileNameForKey(const QString& key);

    // Bursts of folder events closer together than this are scanned once.
    static constexpr int coalesceMs = 50;
    // Values larger than this are not read.
    static constexpr qint64 maxValueBytes = 64 * 1024 * 1024;

private:
    void watch();
    void scan();
    QByteArray fingerprint(const QString& fileName) const;

    QString m_folder;
    QFileSystemWatcher* m_watcher = nullptr;
    QTimer* m_coalesce = nullptr;
    // What each relevant file held when this store last wrote or saw it.
    QHash<QString, QByteArray> m_seen;
};

} // namespace tessaro
