#include "trayicon.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

using namespace Qt::StringLiterals;

namespace tessaro {

namespace {

// An open tray seen from the front, drawn at any size.
class DrawnTray final : public QIconEngine {
public:
    explicit DrawnTray(QColor colour)
        : m_colour(colour) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        const double side = std::min(rect.width(), rect.height());
        const QRectF box(rect.center().x() + 0.5 - side / 2, rect.center().y() + 0.5 - side / 2,
                         side, side);
        auto at = [&](double x, double y) {
            return QPointF(box.left() + x * side, box.top() + y * side);
        };
        QColor colour = m_colour;
        if (mode == QIcon::Disabled)
            colour.setAlphaF(colour.alphaF() * 0.4f);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        QPen pen(colour, 0.07 * side, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        painter->setPen(pen);
        painter->setBrush(Qt::NoBrush);
        painter->drawRoundedRect(QRectF(at(0.1, 0.24), at(0.9, 0.8)), 0.12 * side, 0.12 * side);
        QPainterPath slot;
        slot.moveTo(at(0.1, 0.52));
        slot.lineTo(at(0.34, 0.52));
        slot.lineTo(at(0.39, 0.62));
        slot.lineTo(at(0.61, 0.62));
        slot.lineTo(at(0.66, 0.52));
        slot.lineTo(at(0.9, 0.52));
        painter->drawPath(slot);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1);
    }

    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        QPixmap pixmap(size * scale);
        pixmap.setDevicePixelRatio(scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(), size), mode, state);
        return pixmap;
    }

    QIconEngine* clone() const override { return new DrawnTray(m_colour); }

private:
    QColor m_colour;
};

} // namespace

QIcon drawnTrayIcon(const QColor& colour) {
    return QIcon(new DrawnTray(colour));
}

QIcon trayIcon(const QColor& colour) {
    for (const QString& name : {u"mail-folder-inbox"_s, u"inbox"_s}) {
        if (QIcon::hasThemeIcon(name))
            return QIcon::fromTheme(name);
    }
    return drawnTrayIcon(colour);
}

} // namespace tessaro
