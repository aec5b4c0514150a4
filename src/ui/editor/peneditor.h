#pragma once

#include "beaddrag.h"
#include "render/penlayout.h"

#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace tessaro {

class MotionPreference;
class PenStore;

// The editor's clock and its delayed steps, handed in so that tests can move
// time by hand.
struct EditorTime {
    // Seconds on a clock that never goes back.
    std::function<double()> now;
    // Runs `step` once, `ms` from now on the main thread, unless `context`
    // is gone by then.
    std::function<void(int ms, QObject* context, std::function<void()> step)> later;

    static EditorTime system();
};

// The editor screen's transient state and its actions: the selected bead,
// the drag in flight, the clear button's confirmation and the charm's kick.
// Every change to the pen goes through the store; the views show what this
// holds and hand it the user's gestures. Points are in the editor widget's
// coordinates.
class PenEditor : public QObject {
    Q_OBJECT

public:
    enum class Change {
        selection = 0x1,
        drag = 0x2,
        clearArmed = 0x4,
        kick = 0x8,
        stageFrame = 0x10,
    };
    Q_DECLARE_FLAGS(Changes, Change)
    Q_FLAG(Changes)

    // Without a motion preference the charm always swings.
    explicit PenEditor(PenStore& store, MotionPreference* motion = nullptr,
                       EditorTime time = EditorTime::system(), QObject* parent = nullptr);
    ~PenEditor() override;

    PenStore& store() const { return m_store; }
    double now() const { return m_time.now(); }

    // The selected bead's index; it may lie past the end after an outside
    // change of the pen, and then selects nothing (see hasSelection).
    std::optional<int> selected() const { return m_selected; }
    const std::optional<BeadDrag>& drag() const { return m_drag; }
    // The pen's beads without the one a pen drag has lifted off.
    QStringList displayedBeads() const;
    bool clearArmed() const { return m_clearArmed; }
    QString statusText() const;

    // The stage's frame in the editor's coordinates, reported by the stage.
    QRectF stageFrame() const { return m_stageFrame; }
    void setStageFrame(const QRectF& frame);
    PenLayout stageLayout() const;

    // The charm's kick: whether one runs, and its swing in degrees at time t.
    bool kicking() const { return m_kickAt.has_value(); }
    double kickOffset(double t) const;
    bool reduceMotion() const;

    // The edit bar.
    bool hasSelection() const;
    bool canMoveLeft() const;
    bool canMoveRight() const;
    bool canUndo() const;
    void moveLeft();
    void moveRight();
    void removeSelected();
    void done();
    void undo();
    // The first press arms the button, the second empties the pen.
    void clear();

    // The tools and other screens.
    void saveToCase();
    void charmPicked();
    void screenShown();

    // The bead tray.
    void trayTapped(const QString& beadID);
    void trayDragged(const QString& beadID, TrayDragPhase phase, QPointF point);

    // The pointer on the stage.
    void penPressed(QPointF point);
    void penMoved(QPointF point);
    void penReleased(QPointF point);

    // A short damped swing of the charm that acknowledges an edit.
    void kick(double amount);

Q_SIGNALS:
    void changed(PenEditor::Changes what);
    // A message for the window's toast.
    void toastRequested(const QString& text);

private:
    void penChanged();
    void setSelected(std::optional<int> index);
    void setClearArmed(bool armed);
    void setDrag(std::optional<BeadDrag> drag);
    void updateDrag(QPointF point);
    void dropDrag(QPointF point);
    std::optional<int> dropSlotAt(QPointF point) const;
    std::optional<int> beadAt(QPointF point) const;
    void endKick();
    int beadCount() const;

    PenStore& m_store;
    QPointer<MotionPreference> m_motion;
    EditorTime m_time;

    std::optional<int> m_selected;
    std::optional<BeadDrag> m_drag;
    QRectF m_stageFrame;
    bool m_clearArmed = false;
    std::optional<double> m_kickAt;
    double m_kickAmount = 0;
    // Where the pointer went down on the stage, while it is down.
    std::optional<QPointF> m_pressAt;
    int m_knownBeadCount = 0;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(PenEditor::Changes)

} // namespace tessaro
