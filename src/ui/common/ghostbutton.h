#pragma once

#include "capsulebutton.h"

namespace tessaro {

// The secondary action's button: a light outlined capsule.
class GhostButton final : public CapsuleButton {
    Q_OBJECT
    Q_PROPERTY(bool disabledLook READ hasDisabledLook WRITE setDisabledLook)

public:
    explicit GhostButton(const QString& text = {}, QWidget* parent = nullptr);

    // Draws the label in the secondary text colour, to look unavailable; the
    // button still takes presses.
    bool hasDisabledLook() const { return m_disabledLook; }
    void setDisabledLook(bool disabledLook);

    // Draws the label in the danger colour, for a destructive press that
    // waits for its confirmation.
    bool isDanger() const { return m_danger; }
    void setDanger(bool danger);

protected:
    Look look() const override;
    QColor labelColour() const override;
    void paintCapsule(QPainter& painter, const QRectF& capsule) const override;
    double opacity() const override { return isDown() ? 0.7 : 1; }
    double disabledOpacity() const override { return 0.45; }

private:
    bool m_disabledLook = false;
    bool m_danger = false;
};

} // namespace tessaro
