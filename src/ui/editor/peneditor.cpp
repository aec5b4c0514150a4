#include "peneditor.h"


#include "l10n/localization.h"
#include "model/catalog.h"
#include "model/pen.h"
#include "platform/motionpreference.h"
#include "store/penstore.h"
#include "ui/common/timersource.h"


#include <chrono>
#include <cmath>

namespace tessaro {

using namespace Qt::StringLiterals;

namespace {

// A pointer that moves farther than this (points) from where it went down
// on a bead lifts the bead; a shorter movement is a click.
constexpr double dragThreshold = 6;
// The swing has died down after this long; its end is checked a little later.
constexpr double kickLength = 1.8;
constexpr int kickCheckMs = 1900;

// Kick amounts, in degrees, by what they acknowledge.
namespace kicks {
constexpr double removed = 5;
constexpr double added = 6;
constexpr double missedBead = 7;
constexpr double cleared = 10;
constexpr double shown = 11;
constexpr double saved = 12;
constexpr double charm = 16;
} // namespace kicks

QString capacity() {
    return QString::number(maxBeadsPerPen);
}

QString fullText() {
    return fillPlaceholders(L(u"status.full"_s), {{u"cap"_s, capacity()}});
}

} // namespace

EditorTime EditorTime::system() {
    return {[] {
                using namespace std::chrono;
                return duration<double>(steady_clock::now().time_since_epoch()).count();
            },
            [](int ms, QObject* context, std::function<void()> step) {
                QtTimerSource().singleShot(std::chrono::milliseconds(ms), context,
                                           std::move(step));
            }};
}

PenEditor::PenEditor(PenStore& store, MotionPreference* motion, EditorTime time, QObject* parent)
    : QObject(parent)
    , m_store(store)
    , m_motion(motion)
    , m_time(std::move(time))
    , m_knownBeadCount(beadCount()) {
    connect(&m_store, &PenStore::changed, this, [this](PenStore::Changes what) {
        if (what.testFlag(PenStore::Change::pen))
            penChanged();
    });
    if (m_motion) {
        connect(m_motion, &MotionPreference::changed, this, [this] {
            if (reduceMotion())
                endKick();
        });
    }
}

PenEditor::~PenEditor() = default;

int PenEditor::beadCount() const {
    return int(m_store.pen().beads.size());
}

void PenEditor::penChanged() {
    // Any add, removal or drop disarms the clear button.
    const int count = beadCount();
    if (count != m_knownBeadCount) {
        m_knownBeadCount = count;
        setClearArmed(false);
    }
}

QStringList PenEditor::displayedBeads() const {
    return tessaro::displayedBeads(m_store.pen().beads, m_drag);
}

QString PenEditor::statusText() const {
    const int n = beadCount();
    if (n == 0)
        return L(u"status.empty"_s);
    if (n < maxBeadsPerPen)
        return fillPlaceholders(L(u"status.count"_s),
                                {{u"n"_s, QString::number(n)}, {u"cap"_s, capacity()}});
    return fullText();
}

void PenEditor::setStageFrame(const QRectF& frame) {
    if (frame == m_stageFrame)
        return;
    m_stageFrame = frame;
    Q_EMIT changed(Change::stageFrame);
}

PenLayout PenEditor::stageLayout() const {
    return tessaro::stageLayout(m_stageFrame);
}

void PenEditor::setSelected(std::optional<int> index) {
    if (index == m_selected)
        return;
    m_selected = index;
    Q_EMIT changed(Change::selection);
}

void PenEditor::setClearArmed(bool armed) {
    if (armed == m_clearArmed)
        return;
    m_clearArmed = armed;
    Q_EMIT changed(Change::clearArmed);
}

void PenEditor::setDrag(std::optional<BeadDrag> drag) {
    if (drag == m_drag)
        return;
    m_drag = std::move(drag);
    Q_EMIT changed(Change::drag);
}

bool PenEditor::hasSelection() const {
    return m_selected && *m_selected >= 0 && *m_selected < beadCount();
}

bool PenEditor::canMoveLeft() const {
    return hasSelection() && *m_selected > 0;
}

bool PenEditor::canMoveRight() const {
    return hasSelection() && *m_selected < beadCount() - 1;
}

bool PenEditor::canUndo() const {
    return beadCount() > 0;
}

void PenEditor::moveLeft() {
    if (!hasSelection())
        return;
    if (const auto moved = m_store.moveBead(*m_selected, -1))
        setSelected(int(*moved));
}

void PenEditor::moveRight() {
    if (!hasSelection())
        return;
    if (const auto moved = m_store.moveBead(*m_selected, 1))
        setSelected(int(*moved));
}

void PenEditor::removeSelected() {
    if (!hasSelection())
        return;
    m_store.removeBead(*m_selected);
    setSelected(std::nullopt);
    kick(kicks::removed);
}

void PenEditor::done() {
    setSelected(std::nullopt);
}

void PenEditor::undo() {
    m_store.removeLastBead();
    setSelected(std::nullopt);
    setClearArmed(false);
}

void PenEditor::clear() {
    if (!m_clearArmed) {
        setClearArmed(true);
        return;
    }
    m_store.clearBeads();
    setSelected(std::nullopt);
    setClearArmed(false);
    kick(kicks::cleared);
}

void PenEditor::saveToCase() {
    if (!m_store.saveToCase()) {
        Q_EMIT toastRequested(L(u"case.nothing"_s));
        return;
    }
    setSelected(std::nullopt);
    kick(kicks::saved);
    Q_EMIT toastRequested(L(u"case.saved"_s));
}

void PenEditor::charmPicked() {
    kick(kicks::charm);
}

void PenEditor::screenShown() {
    kick(kicks::shown);
}

void PenEditor::trayTapped(const QString& beadID) {
    if (m_store.addBead(beadID)) {
        setSelected(std::nullopt);
        kick(kicks::added);
    } else if (beadCount() >= maxBeadsPerPen) {
        // An id the catalog does not know is no reason to call the pen full.
        Q_EMIT toastRequested(fullText());
    }
}

void PenEditor::trayDragged(const QString& beadID, TrayDragPhase phase, QPointF point) {
    switch (phase) {
    case TrayDragPhase::began:
        setSelected(std::nullopt);
        setDrag(BeadDrag{DragSource::tray, beadID, -1, point, std::nullopt});
        updateDrag(point);
        break;
    case TrayDragPhase::changed:
        if (!m_drag)
            setDrag(BeadDrag{DragSource::tray, beadID, -1, point, std::nullopt});
        updateDrag(point);
        break;
    case TrayDragPhase::ended:
        dropDrag(point);
        break;
    }
}

std::optional<int> PenEditor::beadAt(QPointF point) const {
    return slotAt(beadCount(), point, stageLayout());
}

void PenEditor::penPressed(QPointF point) {
    m_pressAt = point;
}

void PenEditor::penMoved(QPointF point) {
    if (!m_pressAt)
        return;
    if (m_drag) {
        updateDrag(point);
        return;
    }
    const QPointF travel = point - *m_pressAt;
    if (std::hypot(travel.x(), travel.y()) <= dragThreshold)
        return;
    const std::optional<int> index = beadAt(*m_pressAt);
    if (!index)
        return;
    setSelected(std::nullopt);
    setDrag(BeadDrag{DragSource::pen, m_store.pen().beads.at(*index), *index, point, std::nullopt});
    updateDrag(point);
}

void PenEditor::penReleased(QPointF point) {
    if (!m_pressAt)
        return;
    m_pressAt.reset();
    if (m_drag) {
        dropDrag(point);
        return;
    }
    if (const std::optional<int> index = beadAt(point)) {
        setSelected(m_selected == index ? std::nullopt : index);
        return;
    }
    setSelected(std::nullopt);
    kick(kicks::missedBead);
}

std::optional<int> PenEditor::dropSlotAt(QPointF point) const {
    return dropSlot(int(displayedBeads().size()), m_stageFrame, stageLayout(), point);
}

void PenEditor::updateDrag(QPointF point) {
    if (!m_drag)
        return;
    BeadDrag drag = *m_drag;
    drag.point = point;
    drag.slot = dropSlotAt(point);
    setDrag(drag);
}

void PenEditor::dropDrag(QPointF point) {
    if (!m_drag)
        return;
    const std::optional<int> slot = dropSlotAt(point);
    const BeadDrag drag = *m_drag;
    QStringList beads = displayedBeads();
    setDrag(std::nullopt);

    Pen pen = m_store.pen();
    if (slot) {
        // The tray offers only catalog beads; anything else has no place on a pen.
        if (drag.source == DragSource::tray && !beadById(drag.id))
            return;
        // The slot is never past the end, and there is a slot only while
        // fewer than six beads show.
        beads.insert(*slot, drag.id);
        pen.beads = beads;
        m_store.setPen(pen);
        m_store.save(true);
        setSelected(std::nullopt);
        kick(kicks::added);
    } else if (drag.source == DragSource::pen) {
        pen.beads = beads;
        m_store.setPen(pen);
        m_store.save(true);
        setSelected(std::nullopt);
        kick(kicks::removed);
        Q_EMIT toastRequested(L(u"drag.removed"_s));
    } else if (beadCount() >= maxBeadsPerPen) {
        Q_EMIT toastRequested(fullText());
    }
}

bool PenEditor::reduceMotion() const {
    return m_motion && m_motion->reduceMotion();
}

void PenEditor::kick(double amount) {
    if (reduceMotion())
        return;
    const double at = now();
    m_kickAmount = amount;
    m_kickAt = at;
    Q_EMIT changed(Change::kick);
    // A newer kick keeps its own start: only the last one's check ends it.
    m_time.later(kickCheckMs, this, [this] {
        if (m_kickAt && now() - *m_kickAt >= kickLength)
            endKick();
    });
}

void PenEditor::endKick() {
    if (!m_kickAt)
        return;
    m_kickAt.reset();
    Q_EMIT changed(Change::kick);
}

double PenEditor::kickOffset(double t) const {
    if (!m_kickAt || reduceMotion())
        return 0;
    const double e = t - *m_kickAt;
    if (e > kickLength)
        return 0;
    // A clock read just before the kick began counts as its start.
    const double since = std::max(e, 0.0);
    return m_kickAmount * std::cos(7.5 * since) * std::exp(-2.1 * since);
}

} // namespace tessaro
