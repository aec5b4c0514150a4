#include "folderkeyvaluestore.h"

#include "atomicfile.h"
#include "cloudlog.h"
#include "syncengine.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QThreadPool>
#include <QTimer>

#include <atomic>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tessaro {

using namespace Qt::StringLiterals;

namespace {

QByteArray hashOf(QByteArrayView bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

// Files that hold a key or a conflict copy of one; never a sync engine's
// temporary, nor a hidden file (the temporaries of this store's own writes).
bool isValueFile(const QString& name) {
    return !name.startsWith(u'.') && !isSyncEngineTemporary(name);
}

} // namespace

// What the worker keeps. Touched only by jobs on the pool, which run one at
// a time, except the two flags.
struct FolderKeyValueStore::Worker {
    QString folder;
    // File name → hash of the value the store's owner knows the file holds.
    QHash<QString, QByteArray> known;
    std::atomic<bool> scanQueued = false;
    std::atomic<bool> closing = false;
};

struct FolderKeyValueStore::Scan {
    bool exists = false;
    QHash<QString, File> files;
};

struct FolderKeyValueStore::Written {
    QString name;
    QByteArray value;
    QByteArray hash;
    QString failure;
    // What the file held in place of a value this device had seen.
    std::optional<QByteArray> overwritten;
};

FolderKeyValueStore::FolderKeyValueStore(const QString& folder, QObject* parent)
    : KeyValueStore(parent)
    , m_folder(QDir::cleanPath(QDir(folder).absolutePath()))
    , m_parent(QFileInfo(m_folder).absolutePath())
    , m_worker(std::make_shared<Worker>())
    , m_pool(std::make_unique<QThreadPool>())
    , m_watcher(new QFileSystemWatcher(this))
    , m_coalesce(new QTimer(this))
    , m_retry(new QTimer(this)) {
    m_worker->folder = m_folder;
    m_pool->setMaxThreadCount(1);
    m_coalesce->setObjectName(u"coalesce"_s);
    m_coalesce->setSingleShot(true);
    m_coalesce->setInterval(coalesceMs);
    m_retry->setObjectName(u"retry"_s);
    m_retry->setSingleShot(true);
    connect(m_coalesce, &QTimer::timeout, this, &FolderKeyValueStore::scan);
    connect(m_retry, &QTimer::timeout, this, &FolderKeyValueStore::retry);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this,
            [this] { m_coalesce->start(); });
    post([](Worker& worker) {
        QDir().mkpath(worker.folder);
        if (const int removed = removeStaleTemporaries(worker.folder))
            qCInfo(lcCloud, "removed %d unfinished writes from %s", removed,
                   qUtf8Printable(worker.folder));
    });
    // The first scan brings what is there into memory, and tells the owner.
    scan();
}

FolderKeyValueStore::~FolderKeyValueStore() {
    // Queued writes still land; scans are of no use any more.
    m_worker->closing = true;
    m_pool->waitForDone();
    if (!m_unsent.isEmpty())
        qCWarning(lcCloud, "%lld values could not be stored in %s before the end",
                  qlonglong(m_unsent.size()), qUtf8Printable(m_folder));
}

template <typename Job> void FolderKeyValueStore::post(Job job) {
    m_pool->start([worker = m_worker, job = std::move(job)] { job(*worker); });
}

QString FolderKeyValueStore::fileNameForKey(const QString& key) {
    QString name;
    const QByteArray utf8 = key.toUtf8();
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '_' || (c == '.' && i > 0);
        if (plain)
            name += QLatin1Char(c);
        else
            name +=
                QLatin1Char('%') + QString::number(uchar(c), 16).rightJustified(2, u'0').toUpper();
    }
    return name.isEmpty() ? QStringLiteral("%00") : name;
}

void FolderKeyValueStore::setRetryInterval(int firstMs, int lastMs) {
    m_firstRetryMs = m_retryMs = firstMs;
    m_lastRetryMs = std::max(firstMs, lastMs);
}

std::optional<QByteArray> FolderKeyValueStore::data(const QString& key) {
    const auto it = m_files.constFind(fileNameForKey(key));
    return it == m_files.cend() ? std::nullopt : std::optional(it->bytes);
}

bool FolderKeyValueStore::setData(const QString& key, const QByteArray& value) {
    const QString name = fileNameForKey(key);
    if (value.size() > maxValueBytes) {
        qCWarning(lcCloud, "value for %s not stored: %lld bytes is over the limit of %lld",
                  qUtf8Printable(key), qlonglong(value.size()), qlonglong(maxValueBytes));
        return false;
    }
    m_keys.insert(name, key);
    m_unsent.remove(name);
    m_files.insert(name, {value, {}});
    queueWrite(name, value);
    return true;
}

void FolderKeyValueStore::queueWrite(const QString& name, const QByteArray& value) {
    ++m_busy[name];
    m_pool->start([this, worker = m_worker, name, value] {
        Written result{name, value, hashOf(value), {}, {}};
        const QString path = worker->folder + u'/' + name;
        bool there = false;
        if (const auto current = readRegularFile(path, maxValueBytes)) {
            const QByteArray currentHash = hashOf(*current);
            there = currentHash == result.hash;
            if (!there && worker->known.value(name) != currentHash) {
                result.overwritten = current;
                // Offered once; a retry after a failure finds it known.
                worker->known.insert(name, currentHash);
            }
        }
        if (!there) {
            QDir().mkpath(worker->folder);
            if (const WriteResult written = writeFileAtomically(path, value); !written)
                result.failure = written.errorString();
        }
        if (result.failure.isEmpty())
            worker->known.insert(name, result.hash);
        QMetaObject::invokeMethod(
            this, [this, result = std::move(result)] { written(result); }, Qt::QueuedConnection);
    });
}

void FolderKeyValueStore::written(const Written& result) {
    ++m_results;
    const QString& name = result.name;
    if (--m_busy[name] == 0)
        m_busy.remove(name);
    const QString key = m_keys.value(name, name);
    if (result.failure.isEmpty()) {
        if (!isBusy(name))
            m_files[name].hash = result.hash;
        if (!m_failure.isEmpty() && m_unsent.isEmpty()) {
            qCInfo(lcCloud, "values are stored in %s again", qUtf8Printable(m_folder));
            m_failure.clear();
            m_retryMs = m_firstRetryMs;
        }
    } else {
        if (!isBusy(name))
            m_unsent.insert(name, result.value);
        // Logged once for as long as the same reason lasts, not at every retry.
        if (result.failure != m_failure)
            qCWarning(lcCloud, "value for %s could not be stored in %s (%s) — trying again",
                      qUtf8Printable(key), qUtf8Printable(m_folder),
                      qUtf8Printable(result.failure));
        m_failure = result.failure;
        startRetry();
    }
    if (result.overwritten) {
        qCInfo(lcCloud,
               "another device changed %s just before this one wrote it; kept as a "
               "conflict copy",
               qUtf8Printable(key));
        m_overwritten[name].append(
            {u"overwritten-%1"_s.arg(++m_overwrittenSerial), *result.overwritten});
    }
    if (!result.failure.isEmpty())
        Q_EMIT writeFailed(key, result.failure);
    if (result.overwritten)
        Q_EMIT externalChange();
}

void FolderKeyValueStore::startRetry() {
    if (m_retry->isActive())
        return;
    m_retry->start(m_retryMs);
    m_retryMs = std::min(m_retryMs * 2, m_lastRetryMs);
}

void FolderKeyValueStore::retry() {
    const auto unsent = std::exchange(m_unsent, {});
    for (auto it = unsent.cbegin(); it != unsent.cend(); ++it)
        queueWrite(it.key(), it.value());
    if (m_missing)
        scan();
}

bool FolderKeyValueStore::isBusy(const QString& name) const {
    return m_busy.contains(name) || m_unsent.contains(name);
}

void FolderKeyValueStore::synchronize() {
    scan();
}

void FolderKeyValueStore::scan() {
    // One scan waiting is enough: it will see whatever happens until it runs.
    if (m_worker->scanQueued.exchange(true))
        return;
    m_pool->start([this, worker = m_worker] {
        worker->scanQueued = false;
        if (worker->closing)
            return;
        Scan result;
        const QByteArray folder = QFile::encodeName(worker->folder);
        if (DIR* dir = ::opendir(folder.constData())) {
            result.exists = true;
            const int fd = ::dirfd(dir);
            while (const dirent* entry = ::readdir(dir)) {
                const QString name = QFile::decodeName(entry->d_name);
                struct stat status {};
                if (!isValueFile(name) ||
                    ::fstatat(fd, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0 ||
                    !S_ISREG(status.st_mode))
                    continue;
                if (auto bytes = readRegularFile(worker->folder + u'/' + name, maxValueBytes)) {
                    QByteArray hash = hashOf(*bytes);
                    result.files.insert(name, {std::move(*bytes), std::move(hash)});
                }
            }
            ::closedir(dir);
        }
        QMetaObject::invokeMethod(
            this, [this, result = std::move(result)] { scanned(result); }, Qt::QueuedConnection);
    });
}

void FolderKeyValueStore::scanned(const Scan& scan) {
    ++m_results;
    folderFound(scan.exists);
    // A folder that is gone says nothing about the values: a sync engine
    // re-creating it brings them back.
    if (!scan.exists)
        return;
    bool changed = false;
    for (auto it = scan.files.cbegin(); it != scan.files.cend(); ++it) {
        const QString& name = it.key();
        if (isBusy(name))
            continue;
        const auto seen = m_files.constFind(name);
        if (seen != m_files.cend() && seen->hash == it->hash)
            continue;
        changed = true;
        m_files.insert(name, *it);
        post([name, hash = it->hash](Worker& worker) { worker.known.insert(name, hash); });
    }
    for (auto it = m_files.begin(); it != m_files.end();) {
        if (!scan.files.contains(it.key()) && !isBusy(it.key()))
            it = m_files.erase(it);
        else
            ++it;
    }
    if (changed)
        Q_EMIT externalChange();
}

void FolderKeyValueStore::folderFound(bool exists) {
    if (exists) {
        if (!m_watcher->directories().contains(m_folder))
            m_watcher->addPath(m_folder);
        if (!m_missing)
            return;
        m_missing = false;
        m_watcher->removePath(m_parent);
        if (m_unsent.isEmpty()) {
            m_retry->stop();
            m_retryMs = m_firstRetryMs;
        }
        qCInfo(lcCloud, "key-value folder %s is back", qUtf8Printable(m_folder));
        // What arrived between that scan and the new watch.
        scan();
        return;
    }
    if (!m_missing) {
        m_missing = true;
        qCWarning(lcCloud, "key-value folder %s is gone — watching for it to come back",
                  qUtf8Printable(m_folder));
    }
    // The folder above shows the folder's return at once; the retry timer
    // covers a folder above that is missing too.
    if (!m_watcher->directories().contains(m_parent))
        m_watcher->addPath(m_parent);
    startRetry();
}

QList<KeyValueStore::ConflictCopy> FolderKeyValueStore::conflictCopies(const QString& key) {
    const QString original = fileNameForKey(key);
    QList<ConflictCopy> copies = m_overwritten.value(original);
    for (auto it = m_files.cbegin(); it != m_files.cend(); ++it)
        if (conflictCopyOriginal(it.key()) == original)
            copies.append({it.key(), it->bytes});
    return copies;
}

void FolderKeyValueStore::removeConflictCopy(const QString& key, const QString& name) {
    const QString original = fileNameForKey(key);
    if (m_overwritten[original].removeIf([&](const ConflictCopy& c) { return c.name == name; }))
        return;
    // Only ever a conflict copy of this key, inside this folder, holding
    // what the caller was given.
    const auto file = m_files.constFind(name);
    if (file == m_files.cend() || conflictCopyOriginal(name) != original)
        return;
    const QByteArray hash = file->hash;
    m_files.erase(file);
    ++m_busy[name];
    m_pool->start([this, worker = m_worker, name, hash] {
        const QString path = worker->folder + u'/' + name;
        if (const auto bytes = readRegularFile(path, maxValueBytes);
            bytes && hashOf(*bytes) == hash)
            QFile::remove(path);
        worker->known.remove(name);
        QMetaObject::invokeMethod(
            this,
            [this, name] {
                ++m_results;
                if (--m_busy[name] == 0)
                    m_busy.remove(name);
            },
            Qt::QueuedConnection);
    });
}

void FolderKeyValueStore::flush() {
    // Results may ask for more work (a scan after the folder came back).
    for (int before = -1; before != m_results;) {
        before = m_results;
        m_pool->waitForDone();
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    }
}

} // namespace tessaro
