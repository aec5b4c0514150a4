#pragma once

#include "interfacefont.h"

#include <QAbstractButton>

class QPainterPath;

namespace tessaro {

class AppearanceWatch;

// How a label shows in the width it has: drawn at `scale` of its font's size,
// and `text` elided only when even the smallest scale does not fit.
struct LabelFit {
    double scale = 1;
    QString text;
};

LabelFit fitLabel(const QString& text, const QFont& font, double width, double minimumScale = 0.8);

// A rectangle with fully rounded ends.
QPainterPath capsulePath(const QRectF& rect);

// A button drawn as a capsule around a one-line label: sized from its padding,
// the label shrinking to 0.8 of its size before it is elided, with a ring
// around the capsule while it has focus from the keyboard. Subclasses paint
// the capsule; the caller keeps the action and the enabled state.
class CapsuleButton : public QAbstractButton {
    Q_OBJECT

public:
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The label as it is painted at the button's current width.
    LabelFit labelFit() const;

protected:
    struct Look {
        int fontSize;
        FontDesign design;
        QFont::Weight weight;
        double paddingX;
        double paddingY;
        // Room under the capsule for what hangs below it (the candy's ledge).
        double below = 0;
    };

    CapsuleButton(const QString& text, QWidget* parent);

    virtual Look look() const = 0;
    virtual QColor labelColour() const = 0;
    // Paints what lies under the label; `capsule` is where the label sits now.
    virtual void paintCapsule(QPainter& painter, const QRectF& capsule) const = 0;
    // How far the capsule has moved down from rest.
    virtual double capsuleOffset() const { return 0; }
    virtual double opacity() const { return 1; }
    // How much of that opacity a disabled button keeps.
    virtual double disabledOpacity() const { return 0.5; }

    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    QFont labelFont() const;
    QRectF restingCapsule() const;

    bool m_focusRing = false;
};

} // namespace tessaro
