#include "choicechip.h"

#include "uilook.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFocusEvent>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace tessaro {

namespace {

// Screen readers hear a chip as a radio button of its row: one is checked.
class ChoiceChipAccessible final : public QAccessibleWidget {
public:
    explicit ChoiceChipAccessible(ChoiceChip* chip)
        : QAccessibleWidget(chip, QAccessible::RadioButton) {}

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = chip()->isSelected();
        state.selected = chip()->isSelected();
        return state;
    }

    QStringList actionNames() const override {
        return QAccessibleWidget::actionNames() << pressAction();
    }

    void doAction(const QString& action) override {
        if (action == pressAction() && chip()->isEnabled())
            chip()->click();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    ChoiceChip* chip() const { return static_cast<ChoiceChip*>(widget()); }
};

QAccessibleInterface* chipAccessible(const QString&, QObject* object) {
    if (auto* chip = qobject_cast<ChoiceChip*>(object))
        return new ChoiceChipAccessible(chip);
    return nullptr;
}

bool fromKeyboard(Qt::FocusReason reason) {
    return reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
           reason == Qt::ShortcutFocusReason;
}

} // namespace

ChoiceChip::ChoiceChip(QString value, QWidget* parent)
    : QAbstractButton(parent)
    , m_value(std::move(value)) {
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(chipAccessible);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    setCheckable(true);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
}

QSize ChoiceChip::sizeHint() const {
    const QSizeF shape = shapeSize();
    return QSize(int(std::ceil(shape.width() + 2 * ringRoom)),
                 int(std::ceil(shape.height() + 2 * ringRoom)));
}

void ChoiceChip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool dark = look::isDark();
    const QSizeF size = shapeSize();
    // Centred: a row may make a chip taller than its shape.
    const QRectF shape(QPointF((width() - size.width()) / 2, (height() - size.height()) / 2), size);
    if (isDown())
        painter.setOpacity(0.7);
    paintChip(painter, shape, dark);
    painter.setOpacity(1);
    if (m_focusRing && hasFocus()) {
        const double grow = ringRoom - 1;
        const QRectF ring = shape.adjusted(-grow, -grow, grow, grow);
        const double radius = cornerRadius(shape) + grow;
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(look::colour(interfacePalette().accent, dark), 2));
        painter.drawRoundedRect(ring, radius, radius);
    }
}

void ChoiceChip::focusInEvent(QFocusEvent* event) {
    m_focusRing = fromKeyboard(event->reason());
    QAbstractButton::focusInEvent(event);
}

void ChoiceChip::focusOutEvent(QFocusEvent* event) {
    m_focusRing = false;
    QAbstractButton::focusOutEvent(event);
}

void ChoiceChip::enterEvent(QEnterEvent* event) {
    m_hovered = true;
    update();
    QAbstractButton::enterEvent(event);
}

void ChoiceChip::leaveEvent(QEvent* event) {
    m_hovered = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void CachedPicture::draw(QPainter& painter, QPointF at, QSizeF size, const QString& key,
                         const Paint& paint) {
    const double ratio = painter.device()->devicePixelRatioF();
    const QString fullKey =
        key + QStringLiteral("|%1x%2@%3").arg(size.width()).arg(size.height()).arg(ratio);
    if (fullKey != m_key || m_pixmap.isNull()) {
        m_pixmap =
            QPixmap(int(std::ceil(size.width() * ratio)), int(std::ceil(size.height() * ratio)));
        m_pixmap.setDevicePixelRatio(ratio);
        m_pixmap.fill(Qt::transparent);
        QPainter picture(&m_pixmap);
        picture.setRenderHint(QPainter::Antialiasing);
        paint(picture, size);
        m_key = fullKey;
    }
    // Whole device pixels keep the copy as sharp as the picture.
    const QPointF aligned(std::round(at.x() * ratio) / ratio, std::round(at.y() * ratio) / ratio);
    painter.drawPixmap(aligned, m_pixmap);
}

} // namespace tessaro
