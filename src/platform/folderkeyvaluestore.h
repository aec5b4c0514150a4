#pragma once

#include "keyvaluestore.h"

#include <QHash>

#include <memory>

class QFileSystemWatcher;
class QThreadPool;
class QTimer;

namespace tessaro {

// Keys as files in a folder that a file-sync engine carries between the
// user's devices: one file per key, replaced atomically. A change that the
// engine writes raises externalChange; this store's own writes do not.
//
// The disk is touched only by a worker thread (one, so that writes land in
// the order they were made): it reads and hashes the files when the folder
// changes, and the values it found are answered from memory. A write that
// fails (a full disk, something in the folder's way) is kept and tried again.
// A value that another device wrote and this one never saw is not lost when
// a write of this device replaces it: it is offered as a conflict copy.
class FolderKeyValueStore final : public KeyValueStore {
    Q_OBJECT

public:
    explicit FolderKeyValueStore(const QString& folder, QObject* parent = nullptr);
    // Waits for the writes already made; those still failing are lost (and logged).
    ~FolderKeyValueStore() override;

    std::optional<QByteArray> data(const QString& key) override;
    bool setData(const QString& key, const QByteArray& value) override;
    // Rescans the folder, in case the kernel dropped a change notification.
    void synchronize() override;
    QList<ConflictCopy> conflictCopies(const QString& key) override;
    void removeConflictCopy(const QString& key, const QString& name) override;

    QString folder() const { return m_folder; }
    // Key names become file names that no sync engine excludes: no leading
    // dot, nothing but letters, digits, ".", "-" and "_".
    static QString fileNameForKey(const QString& key);

    // The wait before a failed write is tried again, and before the folder
    // is looked for again while it is missing; it doubles up to `lastMs`.
    void setRetryInterval(int firstMs, int lastMs = lastRetryMs);
    // Blocks until every write and scan asked for so far is done and its
    // result taken in.
    void flush();
    // Writes not stored yet: under way, or failed and waiting to be tried again.
    bool hasPendingWrites() const { return !m_busy.isEmpty() || !m_unsent.isEmpty(); }

    // Bursts of folder events closer together than this are scanned once.
    static constexpr int coalesceMs = 50;
    // Values larger than this are neither written nor read.
    static constexpr qint64 maxValueBytes = 64 * 1024 * 1024;
    static constexpr int firstRetryMs = 1000;
    static constexpr int lastRetryMs = 60'000;

private:
    struct Worker;
    struct Scan;
    struct Written;
    struct File {
        QByteArray bytes;
        QByteArray hash;
    };

    void scan();
    void scanned(const Scan& scan);
    void folderFound(bool exists);
    void queueWrite(const QString& name, const QByteArray& value);
    void written(const Written& written);
    void retry();
    void startRetry();
    bool isBusy(const QString& name) const;
    template <typename Job> void post(Job job);

    QString m_folder;
    QString m_parent;
    std::shared_ptr<Worker> m_worker;
    std::unique_ptr<QThreadPool> m_pool;
    QFileSystemWatcher* m_watcher;
    QTimer* m_coalesce;
    QTimer* m_retry;
    int m_firstRetryMs = firstRetryMs;
    int m_lastRetryMs = lastRetryMs;
    int m_retryMs = firstRetryMs;
    bool m_missing = false;
    QString m_failure;
    // Results taken in; flush() runs until no more arrive.
    int m_results = 0;

    // What each file holds as far as this device knows: the last value
    // scanned, or the last one written here (its hash known once written).
    QHash<QString, File> m_files;
    // Files with a write or removal queued: scans leave them alone until it is done.
    QHash<QString, int> m_busy;
    // Values whose write failed, waiting to be tried again.
    QHash<QString, QByteArray> m_unsent;
    // Values found in a file when a write here replaced them, never seen
    // before: kept in memory as conflict copies.
    QHash<QString, QList<ConflictCopy>> m_overwritten;
    int m_overwrittenSerial = 0;
    QHash<QString, QString> m_keys;
};

} // namespace tessaro
