#pragma once

#include "model/date.h"

#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace tessaro {

// True when `id` may name a page file: 1 to 40 letters, digits, "-" or "_",
// the same characters a drawing record keeps.
bool isValidDrawingID(QStringView id);

// The drawing files: one "<id>.pkdrawing" per page in a local folder,
// mirrored with the cloud folder's "Documents/Drawings" (newer file wins, no
// merge inside a file). Only regular files are ever read, copied or removed;
// links, folders, pipes and devices are left alone, and ids that could name a
// path outside the two folders are refused.
class DrawingFiles : public QObject {
    Q_OBJECT

public:
    // Finds the cloud drawing folder, or none when the cloud is not
    // available. Runs away from the main thread.
    using CloudResolver = std::function<std::optional<QString>()>;

    DrawingFiles(const QString& localDir, std::optional<QString> cloudDir,
                 CloudResolver resolver = {}, QObject* parent = nullptr);
    ~DrawingFiles() override;

    QString localDir() const { return m_localDir; }
    std::optional<QString> cloudDir() const { return m_cloudDir; }

    // Sets `cloudDir` once the resolver found it; the completion runs on the
    // main thread with whether the cloud folder is available.
    void resolveCloud(std::function<void(bool)> completion);

    // Page ids in a folder; placeholders of files not yet downloaded count.
    QStringList listIDs(const QString& folder) const;
    // Ids with a file in either folder that `known` does not hold, sorted.
    QStringList unrecordedIDs(const QSet<QString>& known) const;
    // The local file's modification date, else the cloud file's.
    std::optional<Date> modified(const QString& id) const;
    // The page's bytes, from the local file or else the cloud file (which is
    // then copied down).
    std::optional<QByteArray> read(const QString& id);
    // Removes the page's file from both folders.
    void remove(const QString& id);

    bool push(const QString& id);
    bool pull(const QString& id);
    // Brings both folders into line: newer files copied across, conflict
    // copies resolved (the newer becomes the page), and the files of deleted
    // pages (`deleted` holds their ids; a page that still has a record must
    // not be among them) removed from both folders instead of mirrored.
    // Returns the ids whose files changed, sorted.
    QStringList sync(const QSet<QString>& deleted = {});

    // Files larger than this are not pages.
    static constexpr qint64 maxFileBytes = 64 * 1024 * 1024;

private:
    struct ResolveRelay;

    QString m_localDir;
    std::optional<QString> m_cloudDir;
    CloudResolver m_resolver;
    std::shared_ptr<ResolveRelay> m_relay;
};

} // namespace tessaro
