#include "toastview.h"

#include "capsulebutton.h"
#include "easing.h"
#include "interfacecolours.h"
#include "interfacefont.h"
#include "render/shadowlayer.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace tessaro {

namespace {

constexpr double paddingX = 18;
constexpr double paddingY = 11;
constexpr double bottomMargin = 26;
// Keeps a long toast clear of the host's sides; it wraps instead.
constexpr double sideMargin = 24;
constexpr double shadowBlur = 6;
constexpr double shadowOffset = 4;
// The reach of the shadow's blur, three of its deviations.
constexpr double shadowReach = 3 * shadowBlur;
constexpr int textFlags = Qt::AlignCenter | Qt::TextWordWrap;

} // namespace

ToastView::ToastView(QWidget* host)
    : QLabel(host) {
    setTextFormat(Qt::PlainText);
    setFont(interfaceFont(14, QFont::DemiBold, FontDesign::rounded));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
    m_fade.setStartValue(0.0);
    m_fade.setEndValue(1.0);
    connect(&m_fade, &QVariantAnimation::valueChanged, this, [this] { update(); });
    connect(&m_fade, &QVariantAnimation::finished, this, [this] {
        if (!m_presented)
            hide();
    });
    host->installEventFilter(this);
    new AppearanceWatch(this, [this] { update(); });
}

void ToastView::present(const QString& text) {
    setText(text);
    place();
    raise();
    show();
    if (!m_presented) {
        m_presented = true;
        fadeTo(1, 150, easeOut());
    }
    update();
}

void ToastView::dismiss() {
    if (!m_presented)
        return;
    m_presented = false;
    fadeTo(0, 200, easeIn());
}

double ToastView::fade() const {
    return m_from + (m_to - m_from) * m_fade.currentValue().toDouble();
}

void ToastView::fadeTo(double target, int milliseconds, const QEasingCurve& curve) {
    m_from = fade();
    m_to = target;
    m_fade.stop();
    m_fade.setDuration(milliseconds);
    m_fade.setEasingCurve(curve);
    m_fade.start();
}

bool ToastView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        place();
    return QLabel::eventFilter(watched, event);
}

void ToastView::setBottomInset(int inset) {
    if (inset == m_bottomInset)
        return;
    m_bottomInset = inset;
    place();
}

void ToastView::place() {
    const QWidget* host = parentWidget();
    const QFontMetricsF metrics(font());
    const double widest = std::max(host->width() - 2 * (sideMargin + paddingX), 40.0);
    const QRectF textBox = metrics.boundingRect(QRectF(0, 0, widest, 1e6), textFlags, text());
    const QSizeF capsule(std::ceil(textBox.width()) + 2 * paddingX,
                         std::ceil(textBox.height()) + 2 * paddingY);
    // The widget reaches as far as the shadow does.
    const double left = std::round((host->width() - capsule.width()) / 2) - shadowReach;
    const double top =
        host->height() - m_bottomInset - bottomMargin - capsule.height() - shadowReach;
    setGeometry(QRectF(left, top, capsule.width() + 2 * shadowReach,
                       capsule.height() + 2 * shadowReach + shadowOffset)
                    .toAlignedRect());
    m_capsule = QRectF(QPointF(shadowReach, shadowReach), capsule);
}

const QImage& ToastView::plate() {
    const double ratio = devicePixelRatioF();
    const bool dark = interfaceIsDark();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (m_plate.size() == pixels && m_plate.devicePixelRatio() == ratio && m_plateDark == dark)
        return m_plate;
    // A shadow layer needs a painter on its own image: a widget's painter is
    // redirected into the window's backing store.
    m_plate = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    m_plate.setDevicePixelRatio(ratio);
    m_plate.fill(Qt::transparent);
    m_plateDark = dark;
    QPainter painter(&m_plate);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath capsule = capsulePath(m_capsule);
    const QColor fill = interfaceColour(interfacePalette().accent);
    ShadowLayer().draw(
        painter, m_capsule, [&](QPainter& p) { p.fillPath(capsule, fill); }, QColor(0, 0, 0, 38),
        shadowBlur, QPointF(0, shadowOffset));
    return m_plate;
}

void ToastView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setOpacity(fade());
    painter.drawImage(QPointF(0, 0), plate());
    painter.setFont(font());
    painter.setPen(interfaceColour(interfacePalette().accentText));
    painter.drawText(m_capsule.adjusted(paddingX, paddingY, -paddingX, -paddingY), textFlags,
                     text());
}

} // namespace tessaro
