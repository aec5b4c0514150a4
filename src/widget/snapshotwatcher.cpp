#include "snapshotwatcher.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QSettings>
#include <QTimer>

namespace tessaro {

using namespace Qt::StringLiterals;

namespace {

// Far more than a snapshot takes even with every byte escaped; a bigger file
// is not read at all.
constexpr qint64 maxGroupFileBytes = 16 * maxSnapshotBytes;

} // namespace

PenSnapshot readSnapshotFile(const QString& groupFile) {
    const QFileInfo file(groupFile);
    if (!file.isFile() || file.size() > maxGroupFileBytes)
        return {};
    // The program writes the file with QSettings in this format; the value is
    // the snapshot's JSON bytes.
    const QSettings settings(groupFile, QSettings::IniFormat);
    const QVariant value = settings.value(snapshotKey);
    switch (value.typeId()) {
    case QMetaType::QByteArray:
        return PenSnapshot::fromJson(value.toByteArray());
    case QMetaType::QString:
        return PenSnapshot::fromJson(value.toString().toUtf8());
    default:
        return {};
    }
}

SnapshotWatcher::SnapshotWatcher(const QString& groupFile, QObject* parent)
    : QObject(parent)
    , m_file(QFileInfo(groupFile).absoluteFilePath())
    , m_folder(QFileInfo(m_file).absolutePath())
    , m_watcher(new QFileSystemWatcher(this))
    , m_debounce(new QTimer(this)) {
    m_debounce->setObjectName(u"debounce"_s);
    m_debounce->setSingleShot(true);
    m_debounce->setInterval(debounceMs);
    connect(m_debounce, &QTimer::timeout, this, &SnapshotWatcher::read);
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, &SnapshotWatcher::changed);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &SnapshotWatcher::changed);
    // The program may not have run yet: its folder is where the file will
    // appear, so it has to be there to be watched.
    QDir().mkpath(m_folder);
    arm();
    m_snapshot = readSnapshotFile(m_file);
}

void SnapshotWatcher::arm() {
    if (!m_watcher->directories().contains(m_folder))
        m_watcher->addPath(m_folder);
    // A file replaced by another is no longer watched; the new one is.
    if (!m_watcher->files().contains(m_file) && QFileInfo::exists(m_file))
        m_watcher->addPath(m_file);
}

void SnapshotWatcher::changed() {
    arm();
    if (!m_debounce->isActive())
        m_burst.start();
    else if (m_burst.elapsed() >= maxBurstMs)
        return;
    m_debounce->start();
}

void SnapshotWatcher::read() {
    arm();
    PenSnapshot snapshot = readSnapshotFile(m_file);
    if (snapshot == m_snapshot)
        return;
    m_snapshot = std::move(snapshot);
    Q_EMIT snapshotChanged();
}

} // namespace tessaro
