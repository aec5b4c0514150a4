#pragma once

#include "capsulebutton.h"

namespace tessaro {

// A button that is only its label, in the primary text colour, for bars.
class PlainButton final : public CapsuleButton {
    Q_OBJECT

public:
    explicit PlainButton(const QString& text = {}, QWidget* parent = nullptr);

protected:
    Look look() const override;
    QColor labelColour() const override;
    void paintCapsule(QPainter&, const QRectF&) const override {}
    double opacity() const override { return isDown() ? 0.6 : 1; }
};

} // namespace tessaro
