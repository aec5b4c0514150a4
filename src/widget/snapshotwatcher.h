#pragma once

#include "model/pensnapshot.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

class QFileSystemWatcher;
class QTimer;

namespace tessaro {

// Keeps the snapshot the program writes into the group preferences file and
// reports each change of it. The program replaces that file on every save, so
// the folder is watched as well as the file, and the file's watch is set up
// again after each change. Reading waits for a short calm after the last
// change; nothing runs between changes.
class SnapshotWatcher final : public QObject {
    Q_OBJECT

public:
    static constexpr int debounceMs = 150;
    // A burst of changes is read at the latest this long after it began.
    static constexpr int maxBurstMs = 1000;

    // Reads the file once at once; a missing file is the default snapshot.
    explicit SnapshotWatcher(const QString& groupFile, QObject* parent = nullptr);

    const PenSnapshot& snapshot() const { return m_snapshot; }

Q_SIGNALS:
    void snapshotChanged();

private:
    void arm();
    void changed();
    void read();

    QString m_file;
    QString m_folder;
    QFileSystemWatcher* m_watcher;
    QTimer* m_debounce;
    QElapsedTimer m_burst;
    PenSnapshot m_snapshot;
};

// The snapshot held in a group preferences file; the default snapshot when
// the file or the key is missing or unreadable.
PenSnapshot readSnapshotFile(const QString& groupFile);

} // namespace tessaro
