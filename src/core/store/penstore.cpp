#include "penstore.h"

#include "cloudsync.h"
#include "drawings/drawingcloudwatcher.h"
#include "platform/atomicfile.h"
#include "platform/keyvaluestore.h"
#include "quotes/quotecollection.h"
#include "widgetsnapshot.h"

#include <QSet>

namespace tessaro {

using namespace Qt::StringLiterals;

PenStore::PenStore(Environment environment, QObject* parent)
    : QObject(parent)
    , m_environment(std::move(environment))
    , m_writer(StateFile(m_environment.dataFolder + u"/state.json"_s, m_environment.durability))
    , m_cloud(new CloudSync(m_environment.keyValueStore, this))
    , m_drawingFiles(new DrawingFiles(m_environment.dataFolder + u"/Drawings"_s, std::nullopt,
                                      m_environment.cloudResolver, this))
    , m_drawingWatcher(new DrawingCloudWatcher(this)) {
    m_cloud->setPushDelay(m_environment.pushDelayMs);
    m_cloud->setClock(m_environment.clock);

    // Temporaries of writes that a killed process left behind.
    removeStaleTemporaries(m_environment.dataFolder);
    const AppState state = m_writer.load(now());
    m_pen = state.pen;
    m_saved = state.saved;
    m_quotes = state.quotes;
    m_drawings = state.drawings;
    m_activeGroup = state.activeGroup;
    m_deleted = state.deleted;
    m_updatedAt = state.updatedAt;

    writeSnapshot();
    startCloud();
    reconcileDrawings();
    startDrawingCloud();
}

// The state writer finishes what it holds before its thread stops.
PenStore::~PenStore() = default;

template <typename T> void PenStore::bind(T& member, const T& value, Change part) {
    if (member == value)
        return;
    member = value;
    commit(part, std::nullopt);
}

void PenStore::setPen(const Pen& pen) {
    bind(m_pen, pen, Change::pen);
}

void PenStore::setSaved(const QList<Pen>& saved) {
    bind(m_saved, saved, Change::saved);
}

void PenStore::setQuotes(const QList<Quote>& quotes) {
    bind(m_quotes, quotes, Change::quotes);
}

void PenStore::setDrawings(const QList<Drawing>& drawings) {
    bind(m_drawings, drawings, Change::drawings);
}

void PenStore::setActiveGroup(const QString& group) {
    if (group == m_activeGroup)
        return;
    m_activeGroup = group;
    commit(Change::activeGroup, true);
}

void PenStore::commit(Changes what, std::optional<bool> touch) {
    if (touch)
        save(*touch);
    // Last, so that a view that calls back into the store from its slot finds
    // the document whole and its own change saved after this one.
    Q_EMIT changed(what);
}

bool PenStore::addBead(const QString& beadID) {
    if (!beadById(beadID) || m_pen.beads.size() >= maxBeadsPerPen)
        return false;
    m_pen.beads.append(beadID);
    commit(Change::pen, true);
    return true;
}

void PenStore::removeBead(qsizetype index) {
    if (index < 0 || index >= m_pen.beads.size())
        return;
    m_pen.beads.removeAt(index);
    commit(Change::pen, true);
}

void PenStore::removeLastBead() {
    if (!m_pen.beads.isEmpty())
        removeBead(m_pen.beads.size() - 1);
}

void PenStore::clearBeads() {
    if (m_pen.beads.isEmpty())
        return;
    m_pen.beads.clear();
    commit(Change::pen, true);
}

std::optional<qsizetype> PenStore::moveBead(qsizetype index, qsizetype offset) {
    const qsizetype count = m_pen.beads.size();
    const qsizetype target = index + offset;
    if (index < 0 || index >= count || target < 0 || target >= count)
        return std::nullopt;
    m_pen.beads.swapItemsAt(index, target);
    commit(Change::pen, true);
    return target;
}

void PenStore::setBarrel(const QString& barrel) {
    if (!barrelById(barrel))
        return;
    m_pen.barrel = barrel;
    commit(Change::pen, true);
}

void PenStore::setType(const QString& type) {
    if (!penTypeById(type) || type == m_pen.type)
        return;
    m_pen.type = type;
    commit(Change::pen, true);
}

void PenStore::setInk(const QString& ink) {
    if (!isInkColour(ink) || ink == m_pen.ink)
        return;
    m_pen.ink = ink;
    commit(Change::pen, true);
}

void PenStore::setCharm(const QString& charm) {
    if (!isCharmKind(charm))
        return;
    m_pen.charm = charm;
    commit(Change::pen, true);
}

bool PenStore::saveToCase() {
    if (m_pen.beads.isEmpty())
        return false;
    Pen kept = m_pen;
    kept.savedAt = now();
    recordTombstone(kept.caseKey(), std::nullopt);
    m_saved.prepend(kept);
    m_pen.beads.clear();
    m_pen.savedAt.reset();
    commit(Change::saved | Change::pen, true);
    return true;
}

void PenStore::takeFromCase(qsizetype index) {
    if (index < 0 || index >= m_saved.size())
        return;
    const Date time = now();
    Pen taken = m_saved.takeAt(index);
    recordTombstone(taken.caseKey(), time);
    if (!m_pen.beads.isEmpty()) {
        Pen current = m_pen;
        current.savedAt = time;
        m_saved.prepend(current);
    }
    taken = taken.sanitized();
    taken.savedAt.reset();
    m_pen = taken;
    commit(Change::saved | Change::pen, true);
}

void PenStore::deleteFromCase(qsizetype index) {
    if (index < 0 || index >= m_saved.size())
        return;
    recordTombstone(m_saved[index].caseKey(), now());
    m_saved.removeAt(index);
    commit(Change::saved, true);
}

bool PenStore::addQuote(const QString& text, const QString& source,
                        const std::optional<QString>& url) {
    auto collection = tessaro::addQuote(m_quotes, text, source, url, now());
    if (!collection)
        return false;
    m_quotes = std::move(*collection);
    commit(Change::quotes, true);
    return true;
}

int PenStore::importQuotes(const QList<Quote>& incoming) {
    auto result = tessaro::importQuotes(m_quotes, incoming);
    if (!result.collection)
        return 0;
    m_quotes = std::move(*result.collection);
    commit(Change::quotes, true);
    return result.added;
}

void PenStore::deleteQuote(const QString& id) {
    const auto count = m_quotes.removeIf([&](const Quote& quote) { return quote.id == id; });
    if (count == 0)
        return;
    recordTombstone(id, now());
    commit(Change::quotes, true);
}

std::optional<Drawing> PenStore::drawing(const QString& id) const {
    for (const Drawing& record : m_drawings)
        if (record.id == id)
            return record;
    return std::nullopt;
}

void PenStore::deleteDrawing(const QString& id) {
    const auto count = m_drawings.removeIf([&](const Drawing& record) { return record.id == id; });
    if (count == 0)
        return;
    recordTombstone(id, now());
    m_drawingFiles->remove(id);
    commit(Change::drawings, true);
}

void PenStore::setDrawingThumbnail(const QString& id, const QByteArray& png) {
    if (png.size() > maxThumbnailBytes)
        return;
    for (Drawing& record : m_drawings) {
        if (record.id != id)
            continue;
        if (record.thumbnailPNG == png)
            return;
        record.thumbnailPNG = png;
        commit(Change::drawings, false);
        return;
    }
}

void PenStore::reconcileDrawings() {
    // The files are mirrored on the drawing files' worker; the records are
    // read as the pass begins and changed when it ends, both here. A request
    // made while a pass runs is served by one more pass after it.
    m_drawingFiles->syncInBackground(
        [this] {
            DrawingFiles::SyncRequest request;
            for (const Drawing& record : m_drawings)
                request.known.insert(record.id);
            // A page edited after its deletion keeps both its record and the
            // old tombstone; only pages without a record are gone for good.
            for (auto it = m_deleted.cbegin(); it != m_deleted.cend(); ++it)
                if (!request.known.contains(it.key()))
                    request.deleted.insert(it.key());
            return request;
        },
        [this](const DrawingFiles::SyncOutcome& outcome) {
            // Records may have come or gone while the pass ran.
            QSet<QString> known;
            for (const Drawing& record : m_drawings)
                known.insert(record.id);
            QList<Drawing> adopted;
            for (const auto& page : outcome.unrecorded) {
                if (known.contains(page.id) || m_deleted.contains(page.id))
                    continue;
                Drawing record;
                record.id = page.id;
                record.createdAt = page.modified.value_or(now());
                record.updatedAt = record.createdAt;
                record.penType = m_pen.type;
                record.ink = m_pen.ink;
                adopted.append(record);
            }
            if (adopted.isEmpty())
                return;
            m_drawings = normalizeDrawings(m_drawings + adopted);
            commit(Change::drawings, false);
        });
}

void PenStore::save(bool touch) {
    if (touch)
        m_updatedAt = now();
    const AppState state = currentState();
    m_writer.submit(state);
    writeSnapshot();
    m_cloud->push(state);
}

bool PenStore::flush() {
    return m_writer.flush();
}

bool PenStore::hasPendingCloudPush() const {
    return m_cloud->hasPendingPush();
}

bool PenStore::isReconcilingDrawings() const {
    return m_drawingFiles->isSyncing();
}

AppState PenStore::currentState() const {
    return {m_pen, m_saved, m_activeGroup, m_quotes, m_drawings, m_deleted, m_updatedAt};
}

void PenStore::applyRemote(const AppState& remote) {
    const Date time = now();
    const AppState current = currentState();
    const AppState merged = mergeStates(current, remote.sanitized(time), time);
    if (merged == current)
        return;
    Changes what;
    what.setFlag(Change::pen, merged.pen != current.pen);
    what.setFlag(Change::saved, merged.saved != current.saved);
    what.setFlag(Change::quotes, merged.quotes != current.quotes);
    what.setFlag(Change::drawings, merged.drawings != current.drawings);
    what.setFlag(Change::activeGroup, merged.activeGroup != current.activeGroup);
    m_pen = merged.pen;
    m_saved = merged.saved;
    m_quotes = merged.quotes;
    m_drawings = merged.drawings;
    m_deleted = merged.deleted;
    m_activeGroup = merged.activeGroup;
    // The merge carries the newer side's time, so this device never looks
    // newer than the change it just received.
    m_updatedAt = merged.updatedAt;
    save(false);
    // Pages deleted or added elsewhere: their files follow now rather than at
    // the next change in the cloud folder.
    if (merged.drawings != current.drawings || merged.deleted != current.deleted)
        reconcileDrawings();
    if (what)
        Q_EMIT changed(what);
}

void PenStore::startCloud() {
    QPointer<PenStore> self(this);
    m_cloud->setOnRemote([self](const AppState& remote) {
        if (self)
            self->applyRemote(remote);
    });
    m_cloud->setOnTruncated([self](int count) {
        if (self && count != self->m_cloudTruncatedCount) {
            self->m_cloudTruncatedCount = count;
            Q_EMIT self->changed(Change::cloudTruncatedCount);
        }
    });
    m_cloud->start([self] { return self ? self->currentState() : AppState(); });
}

void PenStore::startDrawingCloud() {
    QPointer<PenStore> self(this);
    m_drawingFiles->resolveCloud([self](bool available) {
        if (!self || !available)
            return;
        self->reconcileDrawings();
        self->m_drawingWatcher->setOnChange([self] {
            if (self)
                self->reconcileDrawings();
        });
        self->m_drawingWatcher->start(self->m_drawingFiles->cloudDir());
    });
}

void PenStore::switchCloud(KeyValueStore* keyValueStore,
                           DrawingFiles::CloudResolver cloudResolver) {
    // The old cloud still gets what it has not been told, so that the
    // devices left on it see this one's last change.
    if (m_cloud->hasPendingPush())
        m_cloud->push(currentState(), true);
    delete m_cloud;
    m_environment.keyValueStore = keyValueStore;
    m_environment.cloudResolver = cloudResolver;
    m_cloud = new CloudSync(keyValueStore, this);
    m_cloud->setPushDelay(m_environment.pushDelayMs);
    m_cloud->setClock(m_environment.clock);
    startCloud();

    // The old folder's watcher would keep reporting a folder no longer
    // mirrored.
    delete m_drawingWatcher;
    m_drawingWatcher = new DrawingCloudWatcher(this);
    m_drawingFiles->setCloudResolver(std::move(cloudResolver));
    startDrawingCloud();
}

void PenStore::recordTombstone(const QString& key, std::optional<Date> date) {
    if (date)
        m_deleted.insert(key, *date);
    else
        m_deleted.remove(key);
}

void PenStore::writeSnapshot() {
    if (!m_environment.groupPreferences)
        return;
    // Most saves leave what the widget shows as it was; then there is nothing to write.
    PenSnapshot snapshot =
        makeSnapshot(m_pen, m_quotes, m_drawings.isEmpty() ? nullptr : &m_drawings.first());
    if (m_lastSnapshot == snapshot)
        return;
    tessaro::writeSnapshot(*m_environment.groupPreferences, snapshot);
    m_lastSnapshot = std::move(snapshot);
}

} // namespace tessaro
