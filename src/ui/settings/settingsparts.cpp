#include "settingsparts.h"

#include "ui/common/interfacecolours.h"
#include "ui/common/interfacefont.h"

#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace tessaro {

namespace {

constexpr double cardRadius = 24;
constexpr int symbolSize = 18;

} // namespace

SettingsCard::SettingsCard(QWidget* parent)
    : QWidget(parent)
    , m_rows(new QVBoxLayout(this)) {
    m_rows->setContentsMargins(18, 14, 18, 14);
    m_rows->setSpacing(10);
    new AppearanceWatch(this, [this] { update(); });
}

void SettingsCard::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(interfaceColour(interfacePalette().surface));
    painter.setPen(QPen(interfaceColour(interfacePalette().line), 0.5));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), cardRadius, cardRadius);
}

SymbolView::SymbolView(const QIcon& symbol, int size, QWidget* parent)
    : QWidget(parent)
    , m_symbol(symbol) {
    setFixedSize(size, size);
    new AppearanceWatch(this, [this] { update(); });
}

void SymbolView::setSymbol(const QIcon& symbol) {
    m_symbol = symbol;
    update();
}

void SymbolView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(QPen(interfaceColour(interfacePalette().textMain), 1.5));
    m_symbol.paint(&painter, rect());
}

SupportRow::SupportRow(const QIcon& symbol, QWidget* parent)
    : QAbstractButton(parent)
    , m_symbol(symbol) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    new AppearanceWatch(this, [this] { update(); });
}

QSize SupportRow::sizeHint() const {
    const QFontMetrics metrics(interfaceFont(15, QFont::Normal));
    return {symbolSize + 12 + metrics.horizontalAdvance(text()), qMax(metrics.height(), 22) + 12};
}

void SupportRow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const InterfacePalette& palette = interfacePalette();
    if (isDown() || underMouse() || hasFocus()) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(interfaceColour(palette.line, isDown() ? 0.9 : 0.45));
        painter.drawRoundedRect(QRectF(rect()).adjusted(-6, 0, 6, 0), 10, 10);
    }
    const QColor ink = interfaceColour(palette.textMain, isDown() ? 0.6 : 1);
    painter.setPen(QPen(ink, 1.5));
    m_symbol.paint(&painter, QRect(0, (height() - symbolSize) / 2, symbolSize, symbolSize));
    painter.setFont(interfaceFont(15, QFont::Normal));
    painter.setPen(ink);
    painter.drawText(rect().adjusted(symbolSize + 12, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                     text());
}

RowSeparator::RowSeparator(QWidget* parent)
    : QWidget(parent) {
    setFixedHeight(1);
    new AppearanceWatch(this, [this] { update(); });
}

void RowSeparator::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), interfaceColour(interfacePalette().line));
}

QLabel* settingsLabel(int size, bool soft, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setFont(interfaceFont(size, QFont::Normal));
    label->setWordWrap(true);
    const auto colour = [label, soft] {
        QPalette palette = label->palette();
        const InterfacePalette& colours = interfacePalette();
        palette.setColor(QPalette::WindowText,
                         interfaceColour(soft ? colours.textSoft : colours.textMain));
        palette.setColor(QPalette::Text, palette.color(QPalette::WindowText));
        label->setPalette(palette);
    };
    colour();
    new AppearanceWatch(label, colour);
    return label;
}

} // namespace tessaro
