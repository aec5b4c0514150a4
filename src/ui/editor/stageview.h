#pragma once

#include "peneditor.h"

#include <QImage>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <optional>

class QPainter;
class QTimer;

namespace tessaro {

class FloatingBead;

// The area a charm hanging from `anchor` at layout `scale` can paint at a
// swing of `swingDegrees`, its shadow included.
QRectF charmSwingBounds(QPointF anchor, double scale, double swingDegrees);

// The stage: the pen large, with its charm, the selection ring and, while a
// bead is dragged, the gap it would drop into. The pen is painted once and
// kept as a picture at device resolution until something it shows changes,
// and so is the charm at rest; while the charm swings, a frame timer
// repaints the charm's area alone, drawing its picture turned, and stops
// when the swing ends. Pointer gestures go to the editor, in the root
// widget's coordinates. The dragged bead floats over the root widget.
class StageView : public QWidget {
    Q_OBJECT

public:
    // `root` is the editor's widget, an ancestor of the stage; the editor's
    // points are in its coordinates.
    StageView(PenEditor& editor, QWidget* root, QWidget* parent = nullptr);
    ~StageView() override;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

    // Where the pen is drawn, in the stage's coordinates: at most 700 points
    // wide, centred.
    QRect canvasRect() const;
    // Whether the frame timer runs; only while the charm swings.
    bool isAnimating() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // Everything the kept pen picture shows; a new picture when it differs.
    struct PictureKey {
        QStringList beads;
        QString barrel;
        QString type;
        QString ink;
        bool dark = false;
        QSize size;
        double ratio = 0;
        std::optional<int> selected;
        std::optional<int> previewSlot;
        QString previewBead;

        friend bool operator==(const PictureKey&, const PictureKey&) = default;
    };

    // What the kept charm picture shows.
    struct CharmKey {
        QString kind;
        bool dark = false;
        double scale = 0;
        double ratio = 0;
        QPointF anchor;

        friend bool operator==(const CharmKey&, const CharmKey&) = default;
    };

    void editorChanged(PenEditor::Changes what);
    void penChanged();
    void kickChanged();
    void nextFrame();
    void reportFrame();
    void watchAncestors();
    void showFloatingBead();
    bool isDark() const;
    PictureKey pictureKey() const;
    // The part of the canvas that changes from one picture to the other
    // when only the drop slot differs (empty when nothing shows the
    // change); none when all of it changes.
    std::optional<QRect> changedBand(const PictureKey& before, const PictureKey& after) const;
    const QImage& picture();
    void paintCharm(QPainter& painter, const QString& kind, bool dark);
    QRect charmRect(double swing) const;
    QPointF toRoot(QPointF point) const;

    PenEditor& m_editor;
    QPointer<QWidget> m_root;
    QPointer<FloatingBead> m_floating;
    QTimer* m_frameTimer;
    // The charm's swing in the frame shown, and where it was painted.
    double m_swing = 0;
    QRect m_charmShown;
    PictureKey m_pictureKey;
    QImage m_picture;
    CharmKey m_charmKey;
    QImage m_charm;
    QPointF m_charmTopLeft;
};

} // namespace tessaro
