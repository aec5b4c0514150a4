#include "chiprow.h"

#include "choicechip.h"
#include "uilook.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QScrollBar>
#include <QWheelEvent>

namespace tessaro {

ChipRow::ChipRow(QWidget* parent)
    : QScrollArea(parent)
    , m_content(new QWidget)
    , m_layout(new QHBoxLayout(m_content)) {
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFocusPolicy(Qt::NoFocus);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(4);
    m_layout->addStretch();
    setWidget(m_content);
    setWidgetResizable(true);
    // The row shows what it sits on; setWidget gave the chips a background.
    m_content->setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
    m_content->installEventFilter(this);
    new look::Watch(
        this, [this] { applyLook(); }, [] {});
    applyLook();
}

void ChipRow::addChip(ChoiceChip* chip) {
    m_layout->insertWidget(m_layout->count() - 1, chip);
    m_chips.append(chip);
}

void ChipRow::clear() {
    for (ChoiceChip* chip : std::as_const(m_chips)) {
        // Later: a chip may be clearing its own row from its click.
        chip->hide();
        chip->deleteLater();
        m_layout->removeWidget(chip);
    }
    m_chips.clear();
}

void ChipRow::select(const QString& value) {
    for (ChoiceChip* chip : std::as_const(m_chips))
        chip->setSelected(chip->value() == value);
}

ChoiceChip* ChipRow::chip(const QString& value) const {
    for (ChoiceChip* chip : m_chips) {
        if (chip->value() == value)
            return chip;
    }
    return nullptr;
}

QSize ChipRow::sizeHint() const {
    const QSize content = m_content->sizeHint();
    const int bar = m_scrolls ? horizontalScrollBar()->sizeHint().height() : 0;
    return {content.width(), content.height() + bar};
}

QSize ChipRow::minimumSizeHint() const {
    return {0, sizeHint().height()};
}

void ChipRow::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    updateScrolls();
}

bool ChipRow::eventFilter(QObject* watched, QEvent* event) {
    // A chip's label changed its width, or chips came or went.
    if (watched == m_content && event->type() == QEvent::LayoutRequest) {
        updateScrolls();
        updateGeometry();
    }
    return QScrollArea::eventFilter(watched, event);
}

void ChipRow::applyLook() {
    // A thin bar without arrows, in the interface's colours.
    const QColor handle = look::colour(interfacePalette().textSoft, 0.45);
    horizontalScrollBar()->setStyleSheet(
        QStringLiteral("QScrollBar:horizontal { height: 8px; background: transparent; margin: 0; "
                       "border: none; }"
                       "QScrollBar::handle:horizontal { background: %1; border-radius: 3px; "
                       "min-width: 24px; margin: 1px 0; }"
                       "QScrollBar::add-line:horizontal, QScrollBar::sub-line:horizontal "
                       "{ width: 0; border: none; background: none; }"
                       "QScrollBar::add-page:horizontal, QScrollBar::sub-page:horizontal "
                       "{ background: none; }")
            .arg(QStringLiteral("rgba(%1, %2, %3, %4)")
                     .arg(handle.red())
                     .arg(handle.green())
                     .arg(handle.blue())
                     .arg(handle.alpha())));
}

void ChipRow::updateScrolls() {
    const bool scrolls = m_content->sizeHint().width() > width();
    if (scrolls != m_scrolls) {
        m_scrolls = scrolls;
        updateGeometry();
    }
}

bool ChipRow::viewportEvent(QEvent* event) {
    // A row scrolls sideways only; a vertical turn of the wheel belongs to
    // the page the row sits in.
    if (event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (std::abs(wheel->angleDelta().x()) <= std::abs(wheel->angleDelta().y())) {
            event->ignore();
            return false;
        }
    }
    return QScrollArea::viewportEvent(event);
}

} // namespace tessaro
