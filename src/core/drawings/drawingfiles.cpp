#include "drawingfiles.h"

#include "drawings/drawing.h"
#include "drawings/drawingslog.h"
#include "platform/atomicfile.h"
#include "platform/syncengine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMetaObject>
#include <QThreadPool>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace tessaro {

Q_LOGGING_CATEGORY(drawingsLog, "tessaro.drawings")

using namespace Qt::StringLiterals;

// Lets the lookup thread hand its answer over only while the files object
// exists: the destructor clears `owner` under the same lock.
struct DrawingFiles::Lookup {
    std::mutex mutex;
    DrawingFiles* owner = nullptr;
};

namespace {

constexpr auto pageSuffix = ".pkdrawing"_L1;
constexpr auto placeholderSuffix = ".icloud"_L1;

// What lstat tells about one name in a drawing folder.
struct FileStat {
    bool regular = false;
    qint64 size = 0;
    timespec mtime{};
    ino_t inode = 0;
    mode_t mode = 0;
};

FileStat fileStat(const struct stat& status) {
    return {S_ISREG(status.st_mode), qint64(status.st_size), status.st_mtim, status.st_ino,
            status.st_mode};
}

std::optional<FileStat> statAt(const QString& path) {
    struct stat status {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return std::nullopt;
    return fileStat(status);
}

bool isPage(const FileStat& stat) {
    return stat.regular && stat.size <= DrawingFiles::maxFileBytes;
}

// A page file with something in it. An empty one is what a transfer that
// failed or has not finished leaves: it never replaces a page.
bool hasStrokes(const FileStat& stat) {
    return isPage(stat) && stat.size > 0;
}

// Why a page cannot be written where `stat` was found.
QString inTheWay(const FileStat& stat) {
    if (S_ISLNK(stat.mode))
        return u"a symbolic link is in the way"_s;
    if (S_ISDIR(stat.mode))
        return u"a folder is in the way"_s;
    if (stat.regular)
        return u"the file there is too large to be a page"_s;
    return u"a special file is in the way"_s;
}

bool later(const timespec& a, const timespec& b) {
    return a.tv_sec != b.tv_sec ? a.tv_sec > b.tv_sec : a.tv_nsec > b.tv_nsec;
}

bool same(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

Date dateOf(const timespec& time) {
    return double(time.tv_sec - qint64(unixOffset)) + double(time.tv_nsec) / 1e9;
}

QString pagePath(const QString& folder, const QString& id) {
    return folder + u'/' + id + pageSuffix;
}

QString placeholderPath(const QString& folder, const QString& id) {
    return folder + u"/."_s + id + pageSuffix + placeholderSuffix;
}

bool setModified(const QString& path, const timespec& mtime) {
    const timespec times[2] = {{0, UTIME_OMIT}, mtime};
    return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW) ==
           0;
}

bool unlinkPath(const QString& path) {
    return ::unlink(QFile::encodeName(path).constData()) == 0;
}

enum class Copied { nothing, done, failed };

struct CopyResult {
    Copied copied = Copied::nothing;
    QString reason;
};

// Copies a page whole and gives the copy the source's date, so that equal
// dates mean equal files and nothing is copied back.
CopyResult copyPage(const QString& from, const FileStat& fromStat, const QString& to) {
    int error = 0;
    const auto bytes = readRegularFile(from, DrawingFiles::maxFileBytes, &error);
    // Gone or emptied since it was listed (deleted, or rewritten by the sync
    // engine): nothing to copy now; the next pass sees what became of it.
    if (!bytes && error == ENOENT)
        return {};
    if (!bytes)
        return {Copied::failed, u"reading: "_s + qt_error_string(error)};
    if (bytes->isEmpty())
        return {};
    const WriteResult written =
        writeFileAtomically(to, *bytes, Durability::flushed, fromStat.mtime);
    if (!written)
        return {Copied::failed, written.errorString()};
    // A folder that keeps coarser dates (FAT, some network mounts) rounds the
    // copy's date; the source takes the rounded date too, or the two would
    // differ for ever and be copied back and forth.
    const auto copied = statAt(to);
    const auto source = statAt(from);
    if (copied && source && !same(copied->mtime, fromStat.mtime) &&
        source->inode == fromStat.inode && same(source->mtime, fromStat.mtime))
        setModified(from, copied->mtime);
    return {Copied::done, {}};
}

// Copies `id`'s page across when the source is newer, or when the
// destination is empty; a destination name held by anything but a page file
// is never replaced.
CopyResult copyIfNewer(const QString& id, const QString& fromDir, const FileStat& from,
                       const QString& toDir, const std::optional<FileStat>& to) {
    if (!hasStrokes(from))
        return {};
    if (to && !isPage(*to))
        return {Copied::failed, inTheWay(*to)};
    if (to && hasStrokes(*to) && !later(from.mtime, to->mtime))
        return {};
    return copyPage(pagePath(fromDir, id), from, pagePath(toDir, id));
}

std::optional<QString> validStem(QStringView fileName) {
    if (!fileName.endsWith(pageSuffix))
        return std::nullopt;
    const QStringView stem = fileName.chopped(pageSuffix.size());
    if (!isValidDrawingID(stem))
        return std::nullopt;
    return stem.toString();
}

enum class NameKind { other, page, placeholder, conflictCopy };

struct Name {
    NameKind kind = NameKind::other;
    QString id;
};

Name classify(const QString& fileName) {
    if (isSyncEngineTemporary(fileName))
        return {};
    if (fileName.startsWith(u'.') && fileName.endsWith(placeholderSuffix)) {
        if (fileName.size() <= 1 + placeholderSuffix.size())
            return {};
        const auto inner = QStringView(fileName).sliced(1).chopped(placeholderSuffix.size());
        if (auto id = validStem(inner))
            return {NameKind::placeholder, std::move(*id)};
        return {};
    }
    // Conflict copies keep the extension, and their stems are never valid ids.
    if (auto id = validStem(fileName))
        return {NameKind::page, std::move(*id)};
    if (!fileName.endsWith(pageSuffix))
        return {};
    if (const auto original = conflictCopyOriginal(fileName)) {
        if (auto id = validStem(*original))
            return {NameKind::conflictCopy, std::move(*id)};
    }
    return {};
}

struct ConflictCopy {
    QString fileName;
    QString id;
    FileStat stat;
};

// One listing of a drawing folder. Entries keep whatever they are (a link
// named like a page is recorded too, so that nothing is ever written over it).
struct FolderScan {
    bool readable = false;
    QHash<QString, FileStat> pages;
    QHash<QString, FileStat> placeholders;
    QList<ConflictCopy> conflicts;
};

FolderScan scanFolder(const QString& folder) {
    FolderScan scan;
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return scan;
    scan.readable = true;
    const int fd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        Name name = classify(QFile::decodeName(entry->d_name));
        if (name.kind == NameKind::other)
            continue;
        struct stat status {};
        if (::fstatat(fd, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        const FileStat stat = fileStat(status);
        switch (name.kind) {
        case NameKind::page:
            scan.pages.insert(name.id, stat);
            break;
        case NameKind::placeholder:
            scan.placeholders.insert(name.id, stat);
            break;
        case NameKind::conflictCopy:
            scan.conflicts.append({QFile::decodeName(entry->d_name), std::move(name.id), stat});
            break;
        case NameKind::other:
            break;
        }
    }
    ::closedir(dir);
    std::sort(scan.conflicts.begin(), scan.conflicts.end(),
              [](const ConflictCopy& a, const ConflictCopy& b) { return a.fileName < b.fileName; });
    return scan;
}

// The pages of a listing: files with strokes, and placeholders of files not
// yet downloaded.
void collectIDs(const FolderScan& scan, QSet<QString>& ids) {
    for (auto it = scan.pages.cbegin(); it != scan.pages.cend(); ++it) {
        if (hasStrokes(*it))
            ids.insert(it.key());
    }
    for (auto it = scan.placeholders.cbegin(); it != scan.placeholders.cend(); ++it) {
        if (it->regular)
            ids.insert(it.key());
    }
}

QStringList sorted(const QSet<QString>& ids) {
    QStringList list(ids.cbegin(), ids.cend());
    std::sort(list.begin(), list.end());
    return list;
}

// Removes every regular file of the pages in `deleted`: the page, its
// placeholder and its conflict copies.
void removeDeletedPages(const QString& folder, FolderScan& scan, const QSet<QString>& deleted,
                        QSet<QString>& changed) {
    if (deleted.isEmpty())
        return;
    const auto removeFrom = [&](QHash<QString, FileStat>& entries, auto pathOf) {
        for (auto it = entries.begin(); it != entries.end();) {
            if (it->regular && deleted.contains(it.key()) && unlinkPath(pathOf(folder, it.key()))) {
                changed.insert(it.key());
                it = entries.erase(it);
            } else {
                ++it;
            }
        }
    };
    removeFrom(scan.pages, pagePath);
    removeFrom(scan.placeholders, placeholderPath);
    scan.conflicts.removeIf([&](const ConflictCopy& copy) {
        if (!copy.stat.regular || !deleted.contains(copy.id) ||
            !unlinkPath(folder + u'/' + copy.fileName))
            return false;
        changed.insert(copy.id);
        return true;
    });
}

// Folds each conflict copy into its page: the newer of the two becomes the
// page, and the copy is removed only once its bytes were read and the page
// holds whichever won.
void resolveConflictCopies(const QString& folder, FolderScan& scan, const QSet<QString>& deleted,
                           QSet<QString>& changed) {
    for (const ConflictCopy& copy : std::as_const(scan.conflicts)) {
        if (!isPage(copy.stat) || deleted.contains(copy.id))
            continue;
        const auto current = scan.pages.constFind(copy.id);
        const bool hasPage = current != scan.pages.cend();
        if (hasPage && !isPage(*current))
            continue;
        const QString copyPath = folder + u'/' + copy.fileName;
        const auto bytes = readRegularFile(copyPath, DrawingFiles::maxFileBytes);
        if (!bytes)
            continue;
        // An empty copy holds nothing to keep; a copy with strokes replaces
        // an empty page whatever the dates.
        if (!bytes->isEmpty() &&
            (!hasPage || !hasStrokes(*current) || later(copy.stat.mtime, current->mtime))) {
            const QString page = pagePath(folder, copy.id);
            if (!writeFileAtomically(page, *bytes, Durability::flushed, copy.stat.mtime))
                continue;
            if (const auto written = statAt(page))
                scan.pages.insert(copy.id, *written);
            changed.insert(copy.id);
        }
        // The sync engine may have replaced the copy meanwhile; that one stays.
        const auto now = statAt(copyPath);
        if (now && now->regular && now->inode == copy.stat.inode && now->size == bytes->size() &&
            same(now->mtime, copy.stat.mtime))
            unlinkPath(copyPath);
    }
}

void tidyFolder(const QString& folder, FolderScan& scan, const QSet<QString>& deleted,
                QSet<QString>& changed) {
    removeDeletedPages(folder, scan, deleted, changed);
    resolveConflictCopies(folder, scan, deleted, changed);
}

// The cloud drawing folder, created; none unless this user may write there.
std::optional<QString> preparedCloudFolder(const std::optional<QString>& folder) {
    if (!folder || folder->isEmpty())
        return std::nullopt;
    const QString path = QDir::cleanPath(QFileInfo(*folder).absoluteFilePath());
    if (!QDir().mkpath(path) || !QFileInfo(path).isDir() ||
        ::access(QFile::encodeName(path).constData(), W_OK | X_OK) != 0)
        return std::nullopt;
    return path;
}

void logFailedPush(const QString& id, const QString& reason) {
    qCCritical(drawingsLog, "could not mirror %s up to the cloud folder: %s", qUtf8Printable(id),
               qUtf8Printable(reason));
}

// The temporaries of copies killed halfway, in a folder this program writes.
void removeStaleCopies(const QString& folder) {
    if (const int removed = removeStaleTemporaries(folder))
        qCInfo(drawingsLog, "removed %d unfinished copies from %s", removed,
               qUtf8Printable(folder));
}

std::optional<Date> modifiedAt(const QString& localDir, const std::optional<QString>& cloudDir,
                               const QString& id) {
    if (const auto local = statAt(pagePath(localDir, id)); local && hasStrokes(*local))
        return dateOf(local->mtime);
    if (!cloudDir)
        return std::nullopt;
    if (const auto cloud = statAt(pagePath(*cloudDir, id)); cloud && hasStrokes(*cloud))
        return dateOf(cloud->mtime);
    return std::nullopt;
}

// One mirror pass over the two folders; what DrawingFiles::sync and the
// background passes run.
QSet<QString> mirror(const QString& localDir, const std::optional<QString>& cloudDir,
                     const QSet<QString>& deleted) {
    QSet<QString> changed;
    FolderScan local = scanFolder(localDir);
    removeStaleCopies(localDir);
    tidyFolder(localDir, local, deleted, changed);
    if (!cloudDir)
        return changed;
    FolderScan cloud = scanFolder(*cloudDir);
    removeStaleCopies(*cloudDir);
    tidyFolder(*cloudDir, cloud, deleted, changed);
    // A folder that cannot be listed (say, on a drive not mounted) is not an
    // empty folder: mirror nothing rather than guess.
    if (!local.readable || !cloud.readable)
        return changed;

    const auto lookup = [](const FolderScan& scan, const QString& id) -> std::optional<FileStat> {
        const auto it = scan.pages.constFind(id);
        return it == scan.pages.cend() ? std::nullopt : std::optional(*it);
    };
    for (auto it = cloud.pages.cbegin(); it != cloud.pages.cend(); ++it) {
        if (!deleted.contains(it.key()) &&
            copyIfNewer(it.key(), *cloudDir, *it, localDir, lookup(local, it.key())).copied ==
                Copied::done)
            changed.insert(it.key());
    }
    // A page just copied down is older here by its listed date, so it goes
    // nowhere.
    for (auto it = local.pages.cbegin(); it != local.pages.cend(); ++it) {
        if (deleted.contains(it.key()))
            continue;
        const auto result =
            copyIfNewer(it.key(), localDir, *it, *cloudDir, lookup(cloud, it.key()));
        if (result.copied == Copied::done)
            changed.insert(it.key());
        else if (result.copied == Copied::failed)
            logFailedPush(it.key(), result.reason);
    }
    return changed;
}

// The pages with a file in either folder and no record, dated from the same
// listing: a file removed meanwhile (deleted on another device) keeps its old
// date, so that the deletion still wins over the record made for it.
QList<DrawingFiles::UnrecordedPage> unrecordedIn(const QString& localDir,
                                                 const std::optional<QString>& cloudDir,
                                                 const QSet<QString>& known) {
    const FolderScan local = scanFolder(localDir);
    const FolderScan cloud = cloudDir ? scanFolder(*cloudDir) : FolderScan();
    QSet<QString> ids;
    collectIDs(local, ids);
    collectIDs(cloud, ids);
    ids.subtract(known);
    QList<DrawingFiles::UnrecordedPage> pages;
    for (const QString& id : sorted(ids)) {
        std::optional<Date> date;
        for (const FolderScan* scan : {&local, &cloud}) {
            const auto page = scan->pages.constFind(id);
            if (!date && page != scan->pages.cend() && hasStrokes(*page))
                date = dateOf(page->mtime);
        }
        pages.append({id, date});
    }
    return pages;
}

} // namespace

DrawingFiles::DrawingFiles(const QString& localDir, std::optional<QString> cloudDir,
                           CloudResolver resolver, QObject* parent)
    : QObject(parent)
    , m_localDir(localDir)
    , m_cloudDir(std::move(cloudDir))
    , m_resolver(std::move(resolver))
    , m_lookup(std::make_shared<Lookup>())
    , m_pool(std::make_unique<QThreadPool>()) {
    // An empty folder name would put pages at the root of the file system.
    if (m_cloudDir && m_cloudDir->isEmpty())
        m_cloudDir.reset();
    m_lookup->owner = this;
    // One worker, so that passes run in order and never side by side.
    m_pool->setMaxThreadCount(1);
    QDir().mkpath(m_localDir);
    if (m_cloudDir)
        QDir().mkpath(*m_cloudDir);
}

DrawingFiles::~DrawingFiles() {
    {
        const std::lock_guard lock(m_lookup->mutex);
        m_lookup->owner = nullptr;
    }
    m_closing = true;
    // A pass that has begun finishes its copy; its outcome, posted to this
    // object, dies with it.
    m_pool->waitForDone();
}

void DrawingFiles::resolveCloud(std::function<void(bool)> completion) {
    if (!completion)
        completion = [](bool) {};
    if (m_cloudDir) {
        completion(true);
        return;
    }
    m_resolveWaiting.append(std::move(completion));
    if (m_resolveWaiting.size() == 1)
        startLookup();
}

void DrawingFiles::setCloudResolver(CloudResolver resolver) {
    {
        // The old lookup's answer no longer reaches this object.
        const std::lock_guard lock(m_lookup->mutex);
        m_lookup->owner = nullptr;
    }
    m_lookup = std::make_shared<Lookup>();
    m_lookup->owner = this;
    m_resolver = std::move(resolver);
    m_cloudDir.reset();
    if (!m_resolveWaiting.isEmpty())
        startLookup();
}

void DrawingFiles::startLookup() {
    // A thread of its own, never a pool's: a lookup stuck on a dead network
    // mount must not hold back the painting that shares the global pool, and
    // nothing waits for it when the program ends.
    try {
        std::thread([lookup = m_lookup, resolver = m_resolver] {
            const auto folder = preparedCloudFolder(resolver ? resolver() : std::nullopt);
            const std::lock_guard lock(lookup->mutex);
            // A queued call dies with its receiver, so it never reaches a
            // destroyed object; an answer still queued when the resolver
            // changed is dropped there.
            if (DrawingFiles* owner = lookup->owner)
                QMetaObject::invokeMethod(
                    owner,
                    [owner, lookup, folder] {
                        if (owner->m_lookup == lookup)
                            owner->cloudResolved(folder);
                    },
                    Qt::QueuedConnection);
        }).detach();
    } catch (const std::system_error& error) {
        qCCritical(drawingsLog, "cannot look for the cloud folder: %s", error.what());
        QMetaObject::invokeMethod(
            this, [this] { cloudResolved(std::nullopt); }, Qt::QueuedConnection);
    }
}

void DrawingFiles::cloudResolved(const std::optional<QString>& folder) {
    if (!m_cloudDir && folder)
        m_cloudDir = folder;
    const auto waiting = std::exchange(m_resolveWaiting, {});
    for (const auto& completion : waiting)
        completion(m_cloudDir.has_value());
}

void DrawingFiles::syncInBackground(std::function<SyncRequest()> request,
                                    std::function<void(const SyncOutcome&)> completion) {
    m_request = std::move(request);
    m_completion = std::move(completion);
    m_passWanted = true;
    if (!m_syncing)
        startPass();
}

void DrawingFiles::startPass() {
    m_passWanted = false;
    m_syncing = true;
    SyncRequest request = m_request ? m_request() : SyncRequest();
    m_pool->start([this, local = m_localDir, cloud = m_cloudDir, request = std::move(request),
                   completion = m_completion] {
        if (m_closing)
            return;
        SyncOutcome outcome;
        outcome.changed = sorted(mirror(local, cloud, request.deleted));
        outcome.unrecorded = unrecordedIn(local, cloud, request.known);
        QMetaObject::invokeMethod(
            this,
            [this, outcome = std::move(outcome), completion] {
                if (completion)
                    completion(outcome);
                m_syncing = false;
                if (m_passWanted)
                    startPass();
            },
            Qt::QueuedConnection);
    });
}

QStringList DrawingFiles::listIDs(const QString& folder) const {
    QSet<QString> ids;
    collectIDs(scanFolder(folder), ids);
    return sorted(ids);
}

QStringList DrawingFiles::unrecordedIDs(const QSet<QString>& known) const {
    QStringList ids;
    for (const auto& page : unrecordedIn(m_localDir, m_cloudDir, known))
        ids.append(page.id);
    return ids;
}

std::optional<Date> DrawingFiles::modified(const QString& id) const {
    if (!isValidDrawingID(id))
        return std::nullopt;
    return modifiedAt(m_localDir, m_cloudDir, id);
}

std::optional<QByteArray> DrawingFiles::read(const QString& id) {
    return readPage(m_localDir, m_cloudDir, id);
}

std::optional<QByteArray> DrawingFiles::readPage(const QString& localDir,
                                                 const std::optional<QString>& cloudDir,
                                                 const QString& id) {
    if (!isValidDrawingID(id))
        return std::nullopt;
    const QString localPath = pagePath(localDir, id);
    if (auto bytes = readRegularFile(localPath, maxFileBytes); bytes && !bytes->isEmpty())
        return bytes;
    if (!cloudDir)
        return std::nullopt;
    // Without a file in the cloud folder there is nothing to download here:
    // the sync engine brings files in by itself.
    const QString cloudPath = pagePath(*cloudDir, id);
    const auto cloud = statAt(cloudPath);
    if (!cloud || !hasStrokes(*cloud))
        return std::nullopt;
    auto bytes = readRegularFile(cloudPath, maxFileBytes);
    if (!bytes || bytes->isEmpty())
        return std::nullopt;
    // Only an empty place (or an empty file) takes the local copy; whatever
    // else holds the name stays.
    const auto local = statAt(localPath);
    if ((!local || (local->regular && local->size == 0)) && QDir().mkpath(localDir))
        writeFileAtomically(localPath, *bytes, Durability::flushed, cloud->mtime);
    return bytes;
}

void DrawingFiles::remove(const QString& id) {
    if (!isValidDrawingID(id))
        return;
    const QSet<QString> gone{id};
    QSet<QString> changed;
    FolderScan local = scanFolder(m_localDir);
    removeDeletedPages(m_localDir, local, gone, changed);
    if (m_cloudDir) {
        FolderScan cloud = scanFolder(*m_cloudDir);
        removeDeletedPages(*m_cloudDir, cloud, gone, changed);
    }
}

bool DrawingFiles::push(const QString& id) {
    if (!m_cloudDir || !isValidDrawingID(id))
        return false;
    const auto local = statAt(pagePath(m_localDir, id));
    if (!local || !isPage(*local))
        return false;
    QDir().mkpath(*m_cloudDir);
    const auto result =
        copyIfNewer(id, m_localDir, *local, *m_cloudDir, statAt(pagePath(*m_cloudDir, id)));
    if (result.copied == Copied::failed)
        logFailedPush(id, result.reason);
    return result.copied == Copied::done;
}

bool DrawingFiles::pull(const QString& id) {
    if (!m_cloudDir || !isValidDrawingID(id))
        return false;
    const auto cloud = statAt(pagePath(*m_cloudDir, id));
    if (!cloud || !isPage(*cloud))
        return false;
    QDir().mkpath(m_localDir);
    return copyIfNewer(id, *m_cloudDir, *cloud, m_localDir, statAt(pagePath(m_localDir, id)))
               .copied == Copied::done;
}

QStringList DrawingFiles::sync(const QSet<QString>& deleted) {
    return sorted(mirror(m_localDir, m_cloudDir, deleted));
}

} // namespace tessaro
