#pragma once

#include "model/date.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

class QThreadPool;

namespace tessaro {

// The drawing files: one "<id>.pkdrawing" per page in a local folder,
// mirrored with the cloud folder's "Documents/Drawings" (newer file wins, no
// merge inside a file). Only regular files are ever read, copied or removed;
// links, folders, pipes and devices are left alone, and ids that could name a
// path outside the two folders are refused. An empty file is not a page (a
// transfer that failed or has not finished): it never replaces one.
class DrawingFiles : public QObject {
    Q_OBJECT

public:
    // Finds the cloud drawing folder, or none when the cloud is not
    // available. Runs on a thread of its own, since it may hang on a dead
    // network mount, and may outlive this object: it must own what it uses.
    using CloudResolver = std::function<std::optional<QString>()>;

    // What a mirror pass needs from the records: the pages deleted for good
    // (their files are removed instead of mirrored; a page that still has a
    // record must not be among them) and the pages that have a record.
    struct SyncRequest {
        QSet<QString> deleted;
        QSet<QString> known;
    };
    struct UnrecordedPage {
        QString id;
        // The local file's modification date, else the cloud file's.
        std::optional<Date> modified;

        friend bool operator==(const UnrecordedPage&, const UnrecordedPage&) = default;
    };
    struct SyncOutcome {
        // Pages whose files changed, sorted.
        QStringList changed;
        // Pages with a file in either folder and no record, sorted by id.
        QList<UnrecordedPage> unrecorded;
    };

    DrawingFiles(const QString& localDir, std::optional<QString> cloudDir,
                 CloudResolver resolver = {}, QObject* parent = nullptr);
    // Waits for a copy in progress; passes not yet begun are dropped.
    ~DrawingFiles() override;

    QString localDir() const { return m_localDir; }
    std::optional<QString> cloudDir() const { return m_cloudDir; }

    // Sets `cloudDir` once the resolver found it; the completion runs on the
    // main thread with whether the cloud folder is available. Calls made
    // while a lookup runs wait for its answer.
    void resolveCloud(std::function<void(bool)> completion);
    // Forgets the cloud folder and finds it with `resolver` from now on: the
    // user chose another one. A lookup under way with the old resolver is
    // dropped, and whoever waits for it gets the new one's answer. A pass
    // already begun finishes with the folder it began with.
    void setCloudResolver(CloudResolver resolver);

    // Brings both folders into line on the files' own worker thread: newer
    // files copied across, conflict copies resolved (the newer becomes the
    // page), deleted pages' files removed, and the unrecorded pages listed.
    // `request` is asked on the main thread as the pass begins; `completion`
    // gets the outcome on the main thread. A pass asked for while one runs
    // runs once more after it (with the latest request and completion);
    // passes never overlap.
    void syncInBackground(std::function<SyncRequest()> request,
                          std::function<void(const SyncOutcome&)> completion);
    bool isSyncing() const { return m_syncing; }

    // The synchronous file operations below block on the disk; they are for
    // single small files, tools and tests.

    // Page ids in a folder; placeholders of files not yet downloaded count.
    QStringList listIDs(const QString& folder) const;
    // Ids with a file in either folder that `known` does not hold, sorted.
    QStringList unrecordedIDs(const QSet<QString>& known) const;
    // The local file's modification date, else the cloud file's.
    std::optional<Date> modified(const QString& id) const;
    // The page's bytes, from the local file or else the cloud file (which is
    // then copied down).
    std::optional<QByteArray> read(const QString& id);
    // The same for the given folders; touches nothing of an instance, so a
    // worker thread may read a page while the folders' owner goes on.
    static std::optional<QByteArray> readPage(const QString& localDir,
                                              const std::optional<QString>& cloudDir,
                                              const QString& id);
    // Removes the page's file from both folders.
    void remove(const QString& id);

    bool push(const QString& id);
    bool pull(const QString& id);
    // One mirror pass on the caller's thread; returns the ids whose files
    // changed, sorted.
    QStringList sync(const QSet<QString>& deleted = {});

    // Files larger than this are not pages.
    static constexpr qint64 maxFileBytes = 64 * 1024 * 1024;

private:
    struct Lookup;

    void cloudResolved(const std::optional<QString>& folder);
    void startLookup();
    void startPass();

    QString m_localDir;
    std::optional<QString> m_cloudDir;
    CloudResolver m_resolver;
    std::shared_ptr<Lookup> m_lookup;
    QList<std::function<void(bool)>> m_resolveWaiting;
    std::unique_ptr<QThreadPool> m_pool;
    std::atomic<bool> m_closing = false;
    bool m_syncing = false;
    bool m_passWanted = false;
    std::function<SyncRequest()> m_request;
    std::function<void(const SyncOutcome&)> m_completion;
};

} // namespace tessaro
