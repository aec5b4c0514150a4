#pragma once

#include <QAbstractButton>
#include <QPixmap>

#include <functional>

namespace tessaro {

// One chip of a row of choices: a button that shows whether its value is the
// current one. The store decides what is current: a click does not check the
// chip, the view checks it when it re-reads the store. Screen readers hear a
// radio button, checked when selected. Subclasses paint the chip; the base
// draws the ring of keyboard focus around it and dims it while pressed.
class ChoiceChip : public QAbstractButton {
    Q_OBJECT

public:
    const QString& value() const { return m_value; }
    bool isSelected() const { return isChecked(); }
    void setSelected(bool selected) { setChecked(selected); }

    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    // Room around the chip's shape for the focus ring.
    static constexpr double ringRoom = 4;

    ChoiceChip(QString value, QWidget* parent);

    // Paints the chip into `shape` (the widget less the ring's room).
    virtual void paintChip(QPainter& painter, const QRectF& shape, bool dark) const = 0;
    // The corner radius of the chip's outline, which the focus ring follows.
    virtual double cornerRadius(const QRectF& shape) const = 0;
    // The size of the shape; the widget adds the ring's room.
    virtual QSizeF shapeSize() const = 0;

    QSize sizeHint() const override;
    void nextCheckState() override {}
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

    bool isHovered() const { return m_hovered; }

private:
    QString m_value;
    bool m_focusRing = false;
    bool m_hovered = false;
};

// A picture painted once for each appearance and screen factor, then copied.
class CachedPicture {
public:
    using Paint = std::function<void(QPainter&, QSizeF)>;

    // Draws the picture of `size` at `at`; `key` names everything the picture
    // shows besides the size and the painter's screen factor.
    void draw(QPainter& painter, QPointF at, QSizeF size, const QString& key, const Paint& paint);
    void clear() { m_pixmap = {}; }

private:
    QPixmap m_pixmap;
    QString m_key;
};

} // namespace tessaro
