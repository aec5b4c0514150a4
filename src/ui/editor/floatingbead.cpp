#include "floatingbead.h"

#include "render/penpainter.h"
#include "render/shadowlayer.h"

#include <QPainter>

#include <cmath>

namespace tessaro {

namespace {

constexpr double beadSize = 56;
// How far above the pointer the bead's centre shows.
constexpr double lift = 34;
// Room for the bead's shadow on every side.
constexpr int side = 120;

} // namespace

FloatingBead::FloatingBead(QWidget* root)
    : QWidget(root) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    resize(side, side);
    hide();
}

void FloatingBead::follow(const BeadSpec& bead, QPointF point) {
    if (bead != m_bead) {
        m_bead = bead;
        m_image = {};
        update();
    }
    const QPointF centre = point - QPointF(0, lift);
    move((centre - QPointF(side, side) / 2).toPoint());
    if (isHidden()) {
        raise();
        show();
    }
}

void FloatingBead::paintEvent(QPaintEvent*) {
    const double ratio = devicePixelRatioF();
    if (m_image.isNull() || m_image.devicePixelRatio() != ratio)
        m_image = render(ratio);
    QPainter(this).drawImage(0, 0, m_image);
}

QImage FloatingBead::render(double ratio) const {
    const int pixels = int(std::ceil(side * ratio));
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const double inset = (side - beadSize) / 2;
    const QRectF frame(inset, inset, beadSize, beadSize);
    ShadowLayer().draw(
        painter, frame,
        [&](QPainter& p) {
            p.translate(frame.topLeft());
            paintBeadIcon(p, frame.size(), m_bead, ratio);
        },
        QColor::fromRgbF(0, 0, 0, 0.18f), 8, QPointF(0, 4));
    return image;
}

} // namespace tessaro
