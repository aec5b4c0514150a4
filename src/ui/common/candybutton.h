#pragma once

#include "capsulebutton.h"

#include <QVariantAnimation>

namespace tessaro {

// The primary action's button: a filled pink capsule with a glossy top and a
// solid ledge underneath, onto which it sinks while pressed.
class CandyButton final : public CapsuleButton {
    Q_OBJECT
    Q_PROPERTY(bool compact READ isCompact WRITE setCompact)

public:
    explicit CandyButton(const QString& text = {}, QWidget* parent = nullptr);

    // Smaller text and padding, for tight rows.
    bool isCompact() const { return m_compact; }
    void setCompact(bool compact);

    // Where the press stands now: the capsule's sink below rest (0 to 2), and
    // the ledge's opacity (0.25 to 0) and distance below the capsule (4 to 0).
    double capsuleOffset() const override;
    double ledgeOpacity() const;
    double ledgeOffset() const;

protected:
    Look look() const override;
    QColor labelColour() const override;
    void paintCapsule(QPainter& painter, const QRectF& capsule) const override;
    void paintEvent(QPaintEvent* event) override;

private:
    void followPress();
    // 0 at rest, 1 sunk onto the ledge.
    double pressProgress() const;

    bool m_compact = false;
    bool m_pressed = false;
    // The press goes from m_from to m_to as m_press runs from 0 to 1; it
    // runs only while the button sinks or rises.
    double m_from = 0;
    double m_to = 0;
    QVariantAnimation m_press;
};

} // namespace tessaro
