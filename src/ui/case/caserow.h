#pragma once

#include "model/pen.h"
#include "ui/editor/choicechip.h"

#include <QAbstractButton>
#include <QWidget>

namespace tessaro {

// The card of a saved pen: its picture, tilted as on a shelf, and its label.
class PenCard final : public QAbstractButton {
    Q_OBJECT

public:
    static constexpr QSizeF artworkSize{132, 38};
    static constexpr double artworkAngle = -0.13962634015954636; // −8°

    explicit PenCard(QWidget* parent = nullptr);
    void setPen(const Pen& pen, const QString& label);
    const Pen& pen() const { return m_pen; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    Pen m_pen;
    CachedPicture m_artwork;
    bool m_focusRing = false;
};

// A button that is only its text; the delete button of a row, in the danger
// colour while it waits for the second press.
class DeleteButton final : public QAbstractButton {
    Q_OBJECT

public:
    explicit DeleteButton(QWidget* parent = nullptr);
    void setArmed(bool armed);
    bool isArmed() const { return m_armed; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QRectF textBounds() const;

    bool m_armed = false;
    bool m_focusRing = false;
};

// One saved pen of the case: the card, which opens the pen, and the delete
// button, on a rounded tile.
class CaseRow final : public QWidget {
    Q_OBJECT

public:
    explicit CaseRow(QWidget* parent = nullptr);

    void setContent(const Pen& pen, const QString& label, bool armed);
    PenCard* card() const { return m_card; }
    DeleteButton* deleteButton() const { return m_delete; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PenCard* m_card;
    DeleteButton* m_delete;
};

} // namespace tessaro
