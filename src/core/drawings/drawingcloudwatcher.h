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
// (no timer runs).
class DrawingCloudWatcher : public QObject {
    Q_OBJECT

public:
    explicit DrawingCloudWatcher(QObject* parent = nullptr);

    void setOnChange(std::function<void()> onChange) { m_onChange = std::move(onChange); }
    // Starts watching `folder`; nothing without a folder or when already watching.
    void start(const std::optional<QString>& folder);
    bool isWatching() const { return m_watcher != nullptr; }

    // Changes closer together than this are reported once.
    static constexpr int debounceMs = 200;
    // A burst that lasts longer than this is reported anyway, so that a long
    // transfer by the sync engine does not hold every page back until it ends.
    static constexpr int maxBurstMs = 2000;

private:
    void changed();
    void report();

    std::function<void()> m_onChange;
    QString m_folder;
    QFileSystemWatcher* m_watcher = nullptr;
    QTimer* m_debounce = nullptr;
    QElapsedTimer m_burst;
};

} // namespace tessaro
