#include "drawingcloudwatcher.h"

#include "drawings/drawingslog.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QMetaObject>
#include <QTimer>

namespace tessaro {

using namespace Qt::StringLiterals;

DrawingCloudWatcher::DrawingCloudWatcher(QObject* parent)
    : QObject(parent) {}

void DrawingCloudWatcher::setRetryInterval(int milliseconds) {
    m_retryMs = milliseconds;
    if (m_retry)
        m_retry->setInterval(milliseconds);
}

void DrawingCloudWatcher::start(const std::optional<QString>& folder) {
    if (!folder || folder->isEmpty() || m_watcher)
        return;
    m_folder = QDir::cleanPath(QFileInfo(*folder).absoluteFilePath());
    m_parent = QFileInfo(m_folder).absolutePath();
    m_watcher = new QFileSystemWatcher(this);
    m_debounce = new QTimer(this);
    m_debounce->setObjectName(u"debounce"_s);
    m_debounce->setSingleShot(true);
    m_debounce->setInterval(debounceMs);
    m_retry = new QTimer(this);
    m_retry->setObjectName(u"retry"_s);
    m_retry->setInterval(m_retryMs);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this,
            &DrawingCloudWatcher::directoryChanged);
    connect(m_debounce, &QTimer::timeout, this, &DrawingCloudWatcher::report);
    connect(m_retry, &QTimer::timeout, this, &DrawingCloudWatcher::lookForFolder);
    // The folder itself, not its files: new, removed and renamed pages all
    // show up as changes of the folder.
    if (!m_watcher->addPath(m_folder))
        lookForFolder();
    // The first scan: whatever is there already counts as a change.
    QMetaObject::invokeMethod(
        this, [this] { report(); }, Qt::QueuedConnection);
}

void DrawingCloudWatcher::directoryChanged(const QString& path) {
    if (path == m_folder) {
        // The watch ends when the folder is removed or renamed; one put back
        // at once is watched again, one still missing is looked for.
        if (!m_watcher->directories().contains(m_folder) && !m_watcher->addPath(m_folder)) {
            lookForFolder();
            return;
        }
        changed();
    } else if (m_missing) {
        lookForFolder();
    }
}

void DrawingCloudWatcher::lookForFolder() {
    if (m_watcher->directories().contains(m_folder) || m_watcher->addPath(m_folder)) {
        if (!m_missing)
            return;
        m_missing = false;
        m_retry->stop();
        m_watcher->removePath(m_parent);
        qCInfo(drawingsLog, "cloud drawing folder %s is back", qUtf8Printable(m_folder));
        changed();
        return;
    }
    if (!m_missing) {
        m_missing = true;
        qCWarning(drawingsLog, "cloud drawing folder %s is gone — watching for it to come back",
                  qUtf8Printable(m_folder));
        m_retry->start();
    }
    // The folder above shows the folder's return at once; the timer covers a
    // folder above that is missing too.
    if (!m_watcher->directories().contains(m_parent))
        m_watcher->addPath(m_parent);
}

void DrawingCloudWatcher::changed() {
    if (!m_debounce->isActive())
        m_burst.start();
    else if (m_burst.elapsed() >= maxBurstMs)
        return;
    m_debounce->start();
}

void DrawingCloudWatcher::report() {
    // A copy, so that a handler that replaces itself finishes safely.
    const auto onChange = m_onChange;
    if (onChange)
        onChange();
}

} // namespace tessaro
