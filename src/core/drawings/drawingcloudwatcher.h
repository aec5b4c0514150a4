#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QFileSystemWatcher;
class QTimer;

namespace tessaro {

// Tells the store when anything changes in the cloud drawing folder: once
// after the first scan and after every burst of changes. Idle between changes
// (no timer runs). A folder that goes away (a sync engine re-creating it, a
// user restoring it) is looked for until it is back, then reported as a
// change.
class DrawingCloudWatcher : public QObject {
    Q_OBJECT

public:
    explicit DrawingCloudWatcher(QObject* parent = nullptr);

    void setOnChange(std::function<void()> onChange) { m_onChange = std::move(onChange); }
    // Starts watching `folder`; nothing without a folder or when already watching.
    void start(const std::optional<QString>& folder);
    bool isWatching() const { return m_watcher != nullptr; }
    // How often to look for the folder while it is missing, besides watching
    // the folder above it.
    void setRetryInterval(int milliseconds);

    // Changes closer together than this are reported once.
    static constexpr int debounceMs = 200;
    // A burst that lasts longer than this is reported anyway, so that a long
    // transfer by the sync engine does not hold every page back until it ends.
    static constexpr int maxBurstMs = 2000;
    static constexpr int defaultRetryMs = 2000;

private:
    void directoryChanged(const QString& path);
    void changed();
    void lookForFolder();
    void report();

    std::function<void()> m_onChange;
    QString m_folder;
    QString m_parent;
    QFileSystemWatcher* m_watcher = nullptr;
    QTimer* m_debounce = nullptr;
    QTimer* m_retry = nullptr;
    int m_retryMs = defaultRetryMs;
    bool m_missing = false;
    QElapsedTimer m_burst;
};

} // namespace tessaro
