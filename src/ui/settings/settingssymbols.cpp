#include "settingssymbols.h"

#include "ui/common/themedsymbol.h"

#include "ui/common/interfacecolours.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

namespace tessaro {

using namespace Qt::StringLiterals;

namespace {

void drawCloud(QPainter& painter, const QRectF& box) {
    const double w = box.width();
    const double h = box.height();
    QPainterPath cloud;
    const QPointF o = box.topLeft();
    cloud.moveTo(o + QPointF(0.25 * w, 0.78 * h));
    cloud.arcTo(QRectF(o + QPointF(0.02 * w, 0.42 * h), QSizeF(0.36 * w, 0.36 * h)), 270, -180);
    cloud.arcTo(QRectF(o + QPointF(0.22 * w, 0.2 * h), QSizeF(0.46 * w, 0.46 * h)), 160, -150);
    cloud.arcTo(QRectF(o + QPointF(0.6 * w, 0.38 * h), QSizeF(0.38 * w, 0.4 * h)), 110, -200);
    cloud.closeSubpath();
    painter.setBrush(painter.pen().color());
    painter.setPen(Qt::NoPen);
    painter.drawPath(cloud);
}

void drawCloudOff(QPainter& painter, const QRectF& box) {
    const QPen pen = painter.pen();
    painter.save();
    painter.setOpacity(0.55);
    drawCloud(painter, box);
    painter.restore();
    painter.setPen(QPen(pen.color(), pen.widthF() * 1.2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(box.topLeft() + QPointF(0.1 * box.width(), 0.12 * box.height()),
                     box.bottomRight() - QPointF(0.1 * box.width(), 0.08 * box.height()));
}

void drawEnvelope(QPainter& painter, const QRectF& box) {
    const QRectF body = box.adjusted(0, box.height() * 0.18, 0, -box.height() * 0.18);
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(body, 2, 2);
    QPainterPath flap;
    flap.moveTo(body.topLeft());
    flap.lineTo(body.center().x(), body.top() + body.height() * 0.55);
    flap.lineTo(body.topRight());
    painter.drawPath(flap);
}

void drawStar(QPainter& painter, const QRectF& box) {
    QPainterPath star;
    const QPointF c = box.center();
    const double outer = box.width() / 2;
    const double inner = outer * 0.45;
    for (int i = 0; i < 10; ++i) {
        const double angle = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
        const double r = i % 2 ? inner : outer;
        const QPointF p = c + QPointF(r * std::cos(angle), r * std::sin(angle));
        i ? star.lineTo(p) : star.moveTo(p);
    }
    star.closeSubpath();
    painter.setBrush(painter.pen().color());
    painter.drawPath(star);
}

void drawGlobe(QPainter& painter, const QRectF& box) {
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(box);
    painter.drawEllipse(box.adjusted(box.width() * 0.28, 0, -box.width() * 0.28, 0));
    painter.drawLine(QPointF(box.left(), box.center().y()), QPointF(box.right(), box.center().y()));
}

void drawChevrons(QPainter& painter, const QRectF& box) {
    painter.setBrush(Qt::NoBrush);
    const double x = box.center().x();
    const double half = box.width() * 0.32;
    QPainterPath up;
    up.moveTo(x - half, box.top() + box.height() * 0.4);
    up.lineTo(x, box.top() + box.height() * 0.12);
    up.lineTo(x + half, box.top() + box.height() * 0.4);
    QPainterPath down;
    down.moveTo(x - half, box.top() + box.height() * 0.6);
    down.lineTo(x, box.top() + box.height() * 0.88);
    down.lineTo(x + half, box.top() + box.height() * 0.6);
    painter.drawPath(up);
    painter.drawPath(down);
}

void drawFolder(QPainter& painter, const QRectF& box) {
    painter.setBrush(Qt::NoBrush);
    QPainterPath folder;
    const double top = box.top() + box.height() * 0.2;
    folder.moveTo(box.left(), box.bottom() - box.height() * 0.1);
    folder.lineTo(box.left(), top);
    folder.lineTo(box.left() + box.width() * 0.38, top);
    folder.lineTo(box.left() + box.width() * 0.48, top + box.height() * 0.12);
    folder.lineTo(box.right(), top + box.height() * 0.12);
    folder.lineTo(box.right(), box.bottom() - box.height() * 0.1);
    folder.closeSubpath();
    painter.drawPath(folder);
}

} // namespace

QIcon settingsSymbol(SettingsSymbol symbol) {
    switch (symbol) {
    case SettingsSymbol::cloud:
        return themedSymbol({u"weather-overcast-symbolic"_s}, drawCloud);
    case SettingsSymbol::cloudOff:
        return themedSymbol({u"network-offline-symbolic"_s}, drawCloudOff);
    case SettingsSymbol::envelope:
        return themedSymbol({u"mail-unread-symbolic"_s, u"mail-message-new"_s}, drawEnvelope);
    case SettingsSymbol::star:
        return themedSymbol({u"starred-symbolic"_s, u"starred"_s}, drawStar);
    case SettingsSymbol::globe:
        return themedSymbol({u"web-browser-symbolic"_s, u"applications-internet"_s}, drawGlobe);
    case SettingsSymbol::chevrons:
        return themedSymbol({u"pan-up-down-symbolic"_s}, drawChevrons);
    case SettingsSymbol::folder:
        return themedSymbol({u"folder-symbolic"_s, u"folder"_s}, drawFolder);
    }
    return {};
}

} // namespace tessaro
