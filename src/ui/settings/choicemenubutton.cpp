#include "choicemenubutton.h"

#include "settingssymbols.h"
#include "ui/common/interfacecolours.h"
#include "ui/common/interfacefont.h"

#include <QMenu>
#include <QPainter>
#include <QtMath>

namespace tessaro {

namespace {

constexpr int labelSize = 15;
constexpr int chevronSize = 11;
constexpr int gap = 6;
constexpr int paddingX = 10;
constexpr int paddingY = 6;

QFont labelFont() {
    return interfaceFont(labelSize, QFont::Medium);
}

} // namespace

ChoiceMenuButton::ChoiceMenuButton(QWidget* parent)
    : QAbstractButton(parent)
    , m_chevrons(settingsSymbol(SettingsSymbol::chevrons)) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    // The choice shows whole; the title beside it wraps instead.
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(this, &QAbstractButton::clicked, this, &ChoiceMenuButton::openMenu);
    new AppearanceWatch(this, [this] { update(); });
}

void ChoiceMenuButton::setCurrent(const QString& value) {
    m_current = value;
    setText(label());
    setAccessibleName(text());
    updateGeometry();
    update();
}

QString ChoiceMenuButton::label() const {
    if (m_options)
        for (const Option& option : m_options())
            if (option.first == m_current)
                return option.second;
    return m_current;
}

QSize ChoiceMenuButton::sizeHint() const {
    const QFontMetricsF metrics(labelFont());
    // A pixel to spare, so that rounding never elides the label it was sized for.
    const int label = qCeil(metrics.horizontalAdvance(text())) + 1;
    return {paddingX * 2 + label + gap + chevronSize,
            qMax(qCeil(metrics.height()), chevronSize) + paddingY * 2};
}

void ChoiceMenuButton::openMenu() {
    if (m_menu || !m_options)
        return;
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (const Option& option : m_options()) {
        QAction* action = menu->addAction(option.second);
        action->setCheckable(true);
        action->setChecked(option.first == m_current);
        connect(action, &QAction::triggered, this,
                [this, value = option.first] { Q_EMIT chosen(value); });
    }
    m_menu = menu;
    // Opens under the button, without a nested event loop.
    menu->popup(mapToGlobal(QPoint(0, height())));
}

void ChoiceMenuButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const InterfacePalette& palette = interfacePalette();
    if (isDown() || underMouse() || hasFocus()) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(interfaceColour(palette.line, isDown() ? 0.9 : 0.5));
        painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), height() / 2.0,
                                height() / 2.0);
    }
    const QColor ink = interfaceColour(palette.textMain, isEnabled() ? 1 : 0.45);
    painter.setFont(labelFont());
    painter.setPen(ink);
    const QRect labelArea = rect().adjusted(paddingX, 0, -(paddingX + gap + chevronSize), 0);
    painter.drawText(labelArea, Qt::AlignVCenter | Qt::AlignRight,
                     QFontMetrics(labelFont()).elidedText(text(), Qt::ElideRight,
                                                          labelArea.width()));
    painter.setOpacity(0.8);
    painter.setPen(QPen(ink, 1.4));
    m_chevrons.paint(&painter,
                     QRect(width() - paddingX - chevronSize, (height() - chevronSize) / 2,
                           chevronSize, chevronSize));
}

} // namespace tessaro
