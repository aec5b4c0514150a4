#include "folderkeyvaluestore.h"

#include "atomicfile.h"
#include "syncengine.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileSystemWatcher>
#include <QTimer>

namespace tessaro {

namespace {

QByteArray hashOf(QByteArrayView bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

} // namespace

FolderKeyValueStore::FolderKeyValueStore(const QString& folder, QObject* parent)
    : KeyValueStore(parent)
    , m_folder(QDir(folder).absolutePath())
    , m_watcher(new QFileSystemWatcher(this))
    , m_coalesce(new QTimer(this)) {
    QDir().mkpath(m_folder);
    m_coalesce->setSingleShot(true);
    m_coalesce->setInterval(coalesceMs);
    connect(m_coalesce, &QTimer::timeout, this, &FolderKeyValueStore::scan);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this,
            [this] { m_coalesce->start(); });
    watch();
    // What is there now is this device's starting point, not a change.
    for (const QString& name :
         QDir(m_folder).entryList(QDir::Files | QDir::NoSymLinks | QDir::Hidden))
        if (!isSyncEngineTemporary(name) && !name.startsWith(u'.'))
            m_seen.insert(name, fingerprint(name));
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

std::optional<QByteArray> FolderKeyValueStore::data(const QString& key) {
    return readRegularFile(m_folder + QLatin1Char('/') + fileNameForKey(key), maxValueBytes);
}

void FolderKeyValueStore::setData(const QString& key, const QByteArray& value) {
    QDir().mkpath(m_folder);
    const QString name = fileNameForKey(key);
    if (writeFileAtomically(m_folder + QLatin1Char('/') + name, value))
        m_seen.insert(name, hashOf(value));
    watch();
}

void FolderKeyValueStore::synchronize() {
    scan();
}

QList<KeyValueStore::ConflictCopy> FolderKeyValueStore::conflictCopies(const QString& key) {
    const QString original = fileNameForKey(key);
    QList<ConflictCopy> copies;
    for (const QString& name :
         QDir(m_folder).entryList(QDir::Files | QDir::NoSymLinks | QDir::Hidden)) {
        if (conflictCopyOriginal(name) != original)
            continue;
        if (auto value = readRegularFile(m_folder + QLatin1Char('/') + name, maxValueBytes))
            copies.append({name, std::move(*value)});
    }
    return copies;
}

void FolderKeyValueStore::removeConflictCopy(const QString& key, const QString& name) {
    // Only ever a conflict copy of this key, inside this folder.
    if (name.contains(u'/') || conflictCopyOriginal(name) != fileNameForKey(key))
        return;
    const QString path = m_folder + QLatin1Char('/') + name;
    if (isRegularFile(path))
        QFile::remove(path);
    m_seen.remove(name);
}

void FolderKeyValueStore::watch() {
    // A watch dies with its folder; put it back when the folder is there again.
    if (!m_watcher->directories().contains(m_folder) && QDir(m_folder).exists())
        m_watcher->addPath(m_folder);
}

QByteArray FolderKeyValueStore::fingerprint(const QString& fileName) const {
    const auto bytes = readRegularFile(m_folder + QLatin1Char('/') + fileName, maxValueBytes);
    return bytes ? hashOf(*bytes) : QByteArray();
}

void FolderKeyValueStore::scan() {
    watch();
    bool changed = false;
    QHash<QString, QByteArray> present;
    for (const QString& name :
         QDir(m_folder).entryList(QDir::Files | QDir::NoSymLinks | QDir::Hidden)) {
        if (isSyncEngineTemporary(name) || name.startsWith(u'.'))
            continue;
        const QByteArray print = fingerprint(name);
        present.insert(name, print);
        const auto seen = m_seen.constFind(name);
        if (seen == m_seen.cend() || *seen != print)
            changed = true;
    }
    m_seen = std::move(present);
    if (changed)
        Q_EMIT externalChange();
}

} // namespace tessaro
