#include "quotecard.h"

#include "quotecardbuttons.h"
#include "quotecardlook.h"
#include "quotelink.h"
#include "ui/common/easing.h"
#include "ui/common/interfacecolours.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QPainter>
#include <QTextLayout>
#include <QTimer>
#include <QVariantAnimation>

#include <cmath>

using namespace Qt::StringLiterals;

namespace tessaro {

namespace {

using namespace cardlook;

// The delete button shows once the face has moved this far.
constexpr double showsDeleteBelow = -8;
constexpr int settleMs = 180;
// A swipe from a device that does not say when it ends ends after this pause.
constexpr int wheelPauseMs = 150;
constexpr qsizetype maxMeasuredWidths = 3;
// A wheel's notch (120) moves the face as far as 40 points of a touchpad.
constexpr double pointsPerAngle = 1.0 / 3;

double footerHeight() {
    return fonts().footerHeight;
}

} // namespace

QuoteCard::QuoteCard(QWidget* parent)
    : QWidget(parent) {
    setFocusPolicy(Qt::TabFocus);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

QuoteCard::~QuoteCard() = default;

void QuoteCard::setQuote(const Quote& quote, const QString& date) {
    if (quote == m_quote && date == m_date)
        return;
    if (quote.text != m_quote.text) {
        m_layout.reset();
        m_heights.clear();
    }
    m_quote = quote;
    m_date = date;
    const bool linked = !quote.source.isEmpty() && quote.url && webLink(*quote.url);
    if (linked && !m_link) {
        m_link = new SourceLink(this);
        m_link->installEventFilter(this);
        connect(m_link, &QAbstractButton::clicked, this, [this] {
            if (m_quote.url)
                Q_EMIT linkActivated(*m_quote.url);
        });
        m_link->show();
    } else if (!linked && m_link) {
        delete std::exchange(m_link, nullptr);
    }
    if (m_link)
        m_link->setText(quote.source);
    measureFooter();
    updateGeometry();
    placeFace();
}

void QuoteCard::measureFooter() {
    m_tailWidth = std::ceil(QFontMetricsF(fonts().footer).horizontalAdvance(footerTail())) + 2;
    m_linkWidth =
        m_link ? std::ceil(QFontMetricsF(fonts().link).horizontalAdvance(m_quote.source)) + 1 : 0;
}

void QuoteCard::retranslate(const QString& date) {
    m_date = date;
    measureFooter();
    if (m_delete)
        m_delete->retranslate();
    placeFace();
}

QRectF QuoteCard::faceRect() const {
    return QRectF(offset(), 0, width(), height());
}

void QuoteCard::pressDelete() {
    if (m_armed)
        Q_EMIT deleteRequested();
    else
        setArmed(true);
}

void QuoteCard::reset() {
    if (m_settle)
        m_settle->stop();
    m_swipe.end();
    m_swipe.setOffset(0);
    m_pressAt.reset();
    m_wheel.reset();
    setArmed(false);
    placeFace();
}

void QuoteCard::setArmed(bool armed) {
    m_armed = armed;
    if (m_delete)
        m_delete->setArmed(armed);
}

const QTextLayout& QuoteCard::layoutAt(double width) const {
    if (m_layout && width == m_layoutWidth)
        return *m_layout;
    QString text = m_quote.text;
    // The layout breaks lines only at line separators.
    text.replace(u'\n', QChar::LineSeparator);
    m_layout = std::make_unique<QTextLayout>(text, fonts().text);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_layout->setTextOption(option);
    m_layout->setCacheEnabled(true);
    double y = 0;
    m_layout->beginLayout();
    for (QTextLine line = m_layout->createLine(); line.isValid(); line = m_layout->createLine()) {
        line.setLineWidth(std::max(1.0, width));
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    m_layout->endLayout();
    m_layoutWidth = width;
    const bool known = std::any_of(m_heights.cbegin(), m_heights.cend(),
                                   [width](const QPointF& measured) { return measured.x() == width; });
    if (!known) {
        if (m_heights.size() == maxMeasuredWidths)
            m_heights.removeFirst();
        m_heights.append(QPointF(width, std::ceil(y)));
    }
    return *m_layout;
}

double QuoteCard::textHeight(double width) const {
    for (const QPointF& measured : std::as_const(m_heights))
        if (measured.x() == width)
            return measured.y();
    layoutAt(width);
    return m_heights.constLast().y();
}

int QuoteCard::heightForWidth(int width) const {
    return int(2 * paddingY + textHeight(width - 2 * paddingX) + footerGap + footerHeight());
}

QSize QuoteCard::sizeHint() const {
    // Layouts ask for hints often, and some then measure the height for the
    // width hinted: the width the list gives its cards is the one they are
    // measured at anyway, and the height the card last had needs no text
    // laid out.
    const int width = parentWidget() ? parentWidget()->width() : 400;
    const double text = m_heights.isEmpty() ? fonts().textLineHeight : m_heights.constLast().y();
    return {width, int(2 * paddingY + text + footerGap + footerHeight())};
}

QSize QuoteCard::minimumSizeHint() const {
    return {int(2 * paddingX + 80), int(2 * paddingY + footerHeight())};
}

QString QuoteCard::footerTail() const {
    return m_quote.source.isEmpty() ? m_date : u" \u00B7 "_s + m_date;
}

void QuoteCard::placeFace() {
    const double face = offset();
    if (face < showsDeleteBelow && !m_delete) {
        m_delete = new QuoteDeleteButton(this);
        m_delete->setArmed(m_armed);
        // Under the face's own controls, which keep their presses.
        m_delete->lower();
        connect(m_delete, &QAbstractButton::clicked, this, &QuoteCard::pressDelete);
    }
    if (m_delete) {
        const int left = width() - QuoteDeleteButton::buttonWidth;
        m_delete->setGeometry(left, 0, QuoteDeleteButton::buttonWidth, height());
        m_delete->setCoveredUpTo(width() + face - left);
        m_delete->setVisible(face < showsDeleteBelow);
    }
    if (m_link) {
        const double available = width() - 2 * paddingX;
        const double source =
            std::floor(std::min(m_linkWidth, std::max(0.0, available - m_tailWidth)));
        const double top = paddingY + textHeight(available) + footerGap;
        m_link->setGeometry(QRectF(face + paddingX, top, source, footerHeight()).toRect());
    }
    update();
}

void QuoteCard::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeFace();
}

void QuoteCard::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        cardlook::refreshFonts();
        m_layout.reset();
        m_heights.clear();
        if (m_link)
            m_link->setFont(fonts().link);
        measureFooter();
        updateGeometry();
        placeFace();
    }
    QWidget::changeEvent(event);
}

void QuoteCard::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const InterfacePalette& palette = interfacePalette();
    const QRectF face = faceRect();
    painter.setPen(QPen(interfaceColour(palette.line), 1));
    painter.setBrush(interfaceColour(palette.surface));
    painter.drawRoundedRect(face.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    if (m_focusRing && hasFocus()) {
        painter.setPen(QPen(interfaceColour(palette.accent), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(face.adjusted(1, 1, -1, -1), radius - 1, radius - 1);
    }

    const double available = width() - 2 * paddingX;
    const double text = textHeight(available);
    painter.setPen(interfaceColour(palette.textMain));
    layoutAt(available).draw(&painter, QPointF(face.left() + paddingX, paddingY));

    const QFont& font = fonts().footer;
    const QFontMetricsF metrics(font);
    painter.setFont(font);
    painter.setPen(interfaceColour(palette.textSoft));
    const QString tail = footerTail();
    QRectF footer(face.left() + paddingX, paddingY + text + footerGap, available, footerHeight());
    if (m_link) {
        footer.setLeft(m_link->geometry().right() + 1);
    } else if (!m_quote.source.isEmpty()) {
        const QString source = metrics.elidedText(m_quote.source, Qt::ElideRight,
                                                  std::max(0.0, available - m_tailWidth));
        painter.drawText(footer, Qt::AlignLeft | Qt::AlignVCenter, source);
        footer.setLeft(footer.left() + metrics.horizontalAdvance(source));
    }
    painter.drawText(footer, Qt::AlignLeft | Qt::AlignVCenter,
                     metrics.elidedText(tail, Qt::ElideRight, footer.width()));
}

bool QuoteCard::dragTo(QPointF translation) {
    if (m_settle)
        m_settle->stop();
    if (m_swipe.drag(translation))
        placeFace();
    return m_swipe.isDragging();
}

void QuoteCard::endDrag() {
    const std::optional<double> target = m_swipe.end();
    if (!target)
        return;
    if (*target == 0)
        setArmed(false);
    settle(*target);
}

void QuoteCard::settle(double target) {
    if (!m_settle) {
        m_settle = std::make_unique<QVariantAnimation>();
        m_settle->setDuration(settleMs);
        m_settle->setEasingCurve(easeOut());
        connect(m_settle.get(), &QVariantAnimation::valueChanged, this,
                [this](const QVariant& value) {
                    m_swipe.setOffset(value.toDouble());
                    placeFace();
                });
    }
    m_settle->stop();
    if (offset() == target) {
        placeFace();
        return;
    }
    m_settle->setStartValue(offset());
    m_settle->setEndValue(target);
    m_settle->start();
}

void QuoteCard::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_pressAt = event->position();
}

void QuoteCard::mouseMoveEvent(QMouseEvent* event) {
    if (m_pressAt && (event->buttons() & Qt::LeftButton))
        dragTo(event->position() - *m_pressAt);
}

void QuoteCard::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_pressAt)
        return;
    m_pressAt.reset();
    endDrag();
}

bool QuoteCard::eventFilter(QObject* watched, QEvent* event) {
    // A drag that starts on the source link swipes the card like any other;
    // the link opens only for a press and release that never became one.
    if (watched != m_link)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton)
            m_pressAt = mapFromGlobal(mouse->globalPosition());
        return false;
    }
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (m_pressAt && (mouse->buttons() & Qt::LeftButton) &&
            dragTo(mapFromGlobal(mouse->globalPosition()) - *m_pressAt)) {
            m_link->setDown(false);
            return true;
        }
        return false;
    }
    case QEvent::MouseButtonRelease: {
        if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton)
            return false;
        m_pressAt.reset();
        const bool swiped = m_swipe.isDragging();
        endDrag();
        return swiped;
    }
    default:
        return false;
    }
}

void QuoteCard::wheelEvent(QWheelEvent* event) {
    const QPointF delta = event->pixelDelta().isNull() ? QPointF(event->angleDelta()) * pointsPerAngle
                                                       : QPointF(event->pixelDelta());
    if (!m_wheel) {
        // Scrolling the list, or the glide after a gesture: not a swipe.
        if (event->phase() == Qt::ScrollEnd || event->phase() == Qt::ScrollMomentum ||
            std::abs(delta.x()) <= std::abs(delta.y())) {
            event->ignore();
            return;
        }
        m_wheel = QPointF();
    }
    *m_wheel += delta;
    dragTo(*m_wheel);
    if (!m_wheelPause) {
        m_wheelPause = std::make_unique<QTimer>();
        m_wheelPause->setSingleShot(true);
        m_wheelPause->setInterval(wheelPauseMs);
        connect(m_wheelPause.get(), &QTimer::timeout, this, [this] {
            m_wheel.reset();
            endDrag();
        });
    }
    if (event->phase() == Qt::ScrollEnd) {
        m_wheelPause->stop();
        m_wheel.reset();
        endDrag();
    } else {
        m_wheelPause->start();
    }
    event->accept();
}

void QuoteCard::keyPressEvent(QKeyEvent* event) {
    const bool open = offset() < 0;
    switch (event->key()) {
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        if (!open)
            settle(-QuoteSwipe::reveal);
        pressDelete();
        return;
    case Qt::Key_Left:
        settle(-QuoteSwipe::reveal);
        return;
    case Qt::Key_Right:
    case Qt::Key_Escape:
        if (open || m_armed) {
            setArmed(false);
            settle(0);
            return;
        }
        break;
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}

void QuoteCard::focusInEvent(QFocusEvent* event) {
    m_focusRing = focusFromKeyboard(event->reason());
    QWidget::focusInEvent(event);
    update();
}

void QuoteCard::focusOutEvent(QFocusEvent* event) {
    m_focusRing = false;
    QWidget::focusOutEvent(event);
    update();
}

} // namespace tessaro
