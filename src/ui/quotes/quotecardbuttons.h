#pragma once

#include <QAbstractButton>

namespace tessaro {

// The delete button under a quote card's face: a red rounded tile with
// "Delete", or the confirmation once armed. It lies at the card's trailing
// edge and shows, and takes presses, only where the face has moved off it.
class QuoteDeleteButton final : public QAbstractButton {
    Q_OBJECT

public:
    static constexpr int buttonWidth = 92;

    explicit QuoteDeleteButton(QWidget* parent = nullptr);

    void setArmed(bool armed);
    bool isArmed() const { return m_armed; }
    // The part left of `x` (in the button's own coordinates) is under the face.
    void setCoveredUpTo(double x);

    // The label in the chosen language.
    void retranslate();

protected:
    bool hitButton(const QPoint& pos) const override;
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool m_armed = false;
    double m_covered = 0;
    bool m_focusRing = false;
};

// A quote's source as a link: semibold, underlined, in the accent's text
// colour, elided to the width it is given.
class SourceLink final : public QAbstractButton {
    Q_OBJECT

public:
    explicit SourceLink(QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool m_focusRing = false;
};

// Whether a focus change came from the keyboard, which alone shows a ring.
bool focusFromKeyboard(Qt::FocusReason reason);

} // namespace tessaro
