#pragma once

#include "appstate.h"
#include "drawings/drawingfiles.h"
#include "statewriter.h"
#include "widgetsnapshot.h"

#include <QObject>
#include <QPointer>

#include <functional>

namespace tessaro {

class CloudSync;
class DrawingCloudWatcher;
class KeyValueStore;
class Preferences;

// The one owner of the live document. Views read it and change it only
// through its operations; every change is announced once, through `changed`,
// after the document is complete, with the parts that changed. Each user
// change saves with touch: the state file is rewritten whole (on a worker
// thread), the widget snapshot refreshed and a cloud push scheduled. Main
// thread only.
class PenStore : public QObject {
    Q_OBJECT

public:
    enum class Change {
        pen = 0x1,
        saved = 0x2,
        quotes = 0x4,
        drawings = 0x8,
        activeGroup = 0x10,
        cloudTruncatedCount = 0x20,
    };
    Q_DECLARE_FLAGS(Changes, Change)
    Q_FLAG(Changes)

    // What the store works with, handed in so that tests can use folders and
    // clocks of their own.
    struct Environment {
        QString dataFolder;
        KeyValueStore* keyValueStore = nullptr;
        Preferences* groupPreferences = nullptr;
        DrawingFiles::CloudResolver cloudResolver;
        std::function<Date()> clock = currentDate;
        Durability durability = Durability::flushed;
        int pushDelayMs = 800;
    };

    explicit PenStore(Environment environment, QObject* parent = nullptr);
    ~PenStore() override;

    const Pen& pen() const { return m_pen; }
    const QList<Pen>& saved() const { return m_saved; }
    const QList<Quote>& quotes() const { return m_quotes; }
    const QList<Drawing>& drawings() const { return m_drawings; }
    const QString& activeGroup() const { return m_activeGroup; }
    int cloudTruncatedCount() const { return m_cloudTruncatedCount; }
    const Tombstones& deleted() const { return m_deleted; }
    Date updatedAt() const { return m_updatedAt; }
    QString stateFilePath() const { return m_writer.path(); }
    // True while a change still waits to be pushed to the cloud.
    bool hasPendingCloudPush() const;
    // True while the drawing files are being mirrored.
    bool isReconcilingDrawings() const;
    // Where the drawing pages' files are; views read pages through it.
    const DrawingFiles& drawingFiles() const { return *m_drawingFiles; }

    // Bindings: replace and publish, without saving.
    void setPen(const Pen& pen);
    void setSaved(const QList<Pen>& saved);
    void setQuotes(const QList<Quote>& quotes);
    void setDrawings(const QList<Drawing>& drawings);
    // Saves with touch when the group differs.
    void setActiveGroup(const QString& group);

    bool addBead(const QString& beadID);
    void removeBead(qsizetype index);
    void removeLastBead();
    void clearBeads();
    std::optional<qsizetype> moveBead(qsizetype index, qsizetype offset);

    void setBarrel(const QString& barrel);
    void setType(const QString& type);
    void setInk(const QString& ink);
    void setCharm(const QString& charm);

    bool saveToCase();
    void takeFromCase(qsizetype index);
    void deleteFromCase(qsizetype index);

    bool addQuote(const QString& text, const QString& source, const std::optional<QString>& url);
    int importQuotes(const QList<Quote>& incoming);
    void deleteQuote(const QString& id);

    std::optional<Drawing> drawing(const QString& id) const;
    void deleteDrawing(const QString& id);
    void setDrawingThumbnail(const QString& id, const QByteArray& png);
    void reconcileDrawings();

    void save(bool touch);
    // Returns once every change made so far is in the state file (true) or
    // its write failed (false, and logged). The program calls it on quit.
    bool flush();
    AppState currentState() const;
    void applyRemote(const AppState& remote);

    // Syncs with another cloud from now on, without a restart: the user
    // chose another cloud folder. A push still waiting goes to the old
    // key-value store first; then the new one is pulled and merged, and the
    // document as it stands is written there at once. The drawing files are
    // mirrored with the folder that `cloudResolver` finds. The old store may
    // be destroyed once this returns; the new one must outlive this store.
    void switchCloud(KeyValueStore* keyValueStore, DrawingFiles::CloudResolver cloudResolver);

Q_SIGNALS:
    void changed(PenStore::Changes what);

private:
    // Saves (when asked) and then announces the parts that changed.
    void commit(Changes what, std::optional<bool> touch);
    // A binding: replaces and announces, without saving.
    template <typename T> void bind(T& member, const T& value, Change part);
    void startCloud();
    void startDrawingCloud();
    void recordTombstone(const QString& key, std::optional<Date> date);
    void writeSnapshot();
    Date now() const { return m_environment.clock(); }

    Environment m_environment;
    StateWriter m_writer;
    CloudSync* m_cloud;
    DrawingFiles* m_drawingFiles;
    DrawingCloudWatcher* m_drawingWatcher;

    Pen m_pen;
    QList<Pen> m_saved;
    QList<Quote> m_quotes;
    QList<Drawing> m_drawings;
    QString m_activeGroup = defaultGroup;
    int m_cloudTruncatedCount = 0;
    Tombstones m_deleted;
    Date m_updatedAt = distantPast;
    std::optional<PenSnapshot> m_lastSnapshot;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(PenStore::Changes)

} // namespace tessaro
