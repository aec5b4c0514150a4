#include "drawingcloudwatcher.h"

#include <QFileSystemWatcher>
#include <QMetaObject>
#include <QTimer>

namespace tessaro {

DrawingCloudWatcher::DrawingCloudWatcher(QObject* parent)
    : QObject(parent) {}

void DrawingCloudWatcher::start(const std::optional<QString>& folder) {
    if (!folder || folder->isEmpty() || m_watcher)
        return;
    m_folder = *folder;
    m_watcher = new QFileSystemWatcher(this);
    m_debounce = new QTimer(this);
    m_debounce->setSingleShot(true);
    m_debounce->setInterval(debounceMs);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &DrawingCloudWatcher::changed);
    connect(m_debounce, &QTimer::timeout, this, &DrawingCloudWatcher::report);
    // The folder itself, not its files: new, removed and renamed pages all
    // show up as changes of the folder.
    m_watcher->addPath(m_folder);
    // The first scan: whatever is there already counts as a change.
    QMetaObject::invokeMethod(
        this, [this] { report(); }, Qt::QueuedConnection);
}

void DrawingCloudWatcher::changed() {
    // The watch ends when the folder is removed or renamed; a folder put back
    // under the same name is watched again.
    if (!m_watcher->directories().contains(m_folder))
        m_watcher->addPath(m_folder);
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
