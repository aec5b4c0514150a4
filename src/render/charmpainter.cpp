#include "charmpainter.h"

#include "paintcolour.h"
#include "paintshapes.h"
#include "shadowlayer.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tessaro {

namespace {

constexpr RGB bunnyWhite{0xFD, 0xF6, 0xF0};
constexpr RGB blush{0xF8, 0xCB, 0xD8};
constexpr RGB bunnyNose{0xF0, 0xA9, 0x8C};
constexpr RGB bearBrown{0xB4, 0x79, 0x4A};
constexpr RGB bearMuzzle{0xE4, 0xC3, 0x9B};
constexpr RGB bearNose{0x5A, 0x3A, 0x22};
constexpr RGB bearCheeks{0xE8, 0xA4, 0x8C};
constexpr RGB cloudWhite{0xF2, 0xF0, 0xFA};
constexpr RGB berryRed{0xE8, 0x40, 0x4A};
constexpr RGB leafGreen{0x3E, 0x8E, 0x45};
constexpr RGB seedYellow{0xF7, 0xD7, 0x74};
constexpr RGB ribbonTail{0xF0, 0x7F, 0xA8};
constexpr RGB ribbonLoop{0xF7, 0x9F, 0xC0};
constexpr RGB ribbonKnot{0xD6, 0x47, 0x8A};
constexpr RGB lightShadow{90, 60, 50};

// Below these sizes in device pixels a detail would be a pixel or two and is
// skipped.
constexpr double rimPixels = 4;
constexpr double glintPixels = 8;

// Darkens only the rim of `body`, a shape of reference radius `r` around
// `centre`, lit from a little above left. Skipped when too small to show.
void rimShade(QPainter& p, const QPainterPath& body, const RGB& base, QPointF centre, double r,
              double pixelScale) {
    if (r * pixelScale < rimPixels)
        return;
    const RGB shade = shifted(base, -0.12);
    const QPointF light = centre + QPointF(-0.1 * r, -0.1 * r);
    QRadialGradient gradient(light, 1.35 * r, light, 0.15 * r);
    gradient.setColorAt(0, toColor(shade, 0));
    gradient.setColorAt(0.58, toColor(shade, 0));
    gradient.setColorAt(1, toColor(shade, 0.9));
    p.save();
    p.setClipPath(body, Qt::IntersectClip);
    p.fillRect(QRectF(centre.x() - 2 * r, centre.y() - 2 * r, 4 * r, 4 * r), gradient);
    p.restore();
}

void drawBunny(QPainter& p, double s, double pixelScale) {
    for (const double o : {-0.22 * s, 0.22 * s}) {
        const double tilt = o < 0 ? -0.12 : 0.12;
        p.fillPath(ellipse({o, -0.46 * s}, 0.15 * s, 0.42 * s, tilt), toColor(bunnyWhite));
        p.fillPath(ellipse({o, -0.46 * s}, 0.075 * s, 0.62 * 0.42 * s, tilt), toColor(blush));
    }
    const QPainterPath head = circle({}, 0.42 * s);
    p.fillPath(head, toColor(bunnyWhite));
    rimShade(p, head, bunnyWhite, {}, 0.42 * s, pixelScale);
    p.fillPath(polygon({{0, 0.09 * s}, {-0.06 * s, -0.01 * s}, {0.06 * s, -0.01 * s}}),
               toColor(bunnyNose));
    charmFace(p, {}, s, blush);
}

void drawBear(QPainter& p, double s, double pixelScale) {
    p.fillPath(circle({-0.34 * s, -0.3 * s}, 0.16 * s), toColor(bearBrown));
    p.fillPath(circle({0.34 * s, -0.3 * s}, 0.16 * s), toColor(bearBrown));
    const QPainterPath head = circle({}, 0.42 * s);
    p.fillPath(head, toColor(bearBrown));
    rimShade(p, head, bearBrown, {}, 0.42 * s, pixelScale);
    p.fillPath(ellipse({0, 0.14 * s}, 0.2 * s, 0.16 * s), toColor(bearMuzzle));
    p.fillPath(ellipse({0, 0.05 * s}, 0.075 * s, 0.06 * s), toColor(bearNose));
    charmFace(p, {0, -0.04 * s}, s, bearCheeks);
}

void drawCloud(QPainter& p, double s, double pixelScale) {
    QPainterPath bar;
    bar.addRect(QRectF(-0.24 * s, -0.02 * s, 0.48 * s, 0.3 * s));
    const QPainterPath body = circle({-0.24 * s, 0.04 * s}, 0.24 * s)
                                  .united(circle({0.24 * s, 0.04 * s}, 0.24 * s))
                                  .united(circle({0, -0.16 * s}, 0.3 * s))
                                  .united(bar);
    p.fillPath(body, toColor(cloudWhite));
    rimShade(p, body, cloudWhite, {}, 0.42 * s, pixelScale);
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(strokePen(toColor(faceInk), 0.035 * s, Qt::RoundCap));
    p.drawPolyline(arc({-0.16 * s, 0.02 * s}, 0.07 * s, 207, 126, 20));
    p.drawPolyline(arc({0.16 * s, 0.02 * s}, 0.07 * s, 207, 126, 20));
    p.drawPolyline(arc({0, 0.14 * s}, 0.09 * s, 27, 126, 20));
    p.restore();
    p.fillPath(ellipse({-0.29 * s, 0.13 * s}, 0.08 * s, 0.05 * s), toColor(blush));
    p.fillPath(ellipse({0.29 * s, 0.13 * s}, 0.08 * s, 0.05 * s), toColor(blush));
}

void drawBerry(QPainter& p, double s, double pixelScale) {
    QPainterPath fruit;
    fruit.moveTo(0, 0.46 * s);
    fruit.cubicTo(-0.44 * s, 0.12 * s, -0.4 * s, -0.3 * s, 0, -0.28 * s);
    fruit.cubicTo(0.4 * s, -0.3 * s, 0.44 * s, 0.12 * s, 0, 0.46 * s);
    fruit.closeSubpath();
    p.fillPath(fruit, toColor(berryRed));
    rimShade(p, fruit, berryRed, {0, 0.08 * s}, 0.44 * s, pixelScale);
    for (int i = -2; i <= 2; ++i) {
        p.save();
        p.translate(0, -0.28 * s);
        p.rotate(i * 0.38 / degree);
        p.fillPath(ellipse({0, -0.1 * s}, 0.07 * s, 0.13 * s), toColor(leafGreen));
        p.restore();
    }
    static constexpr QPointF seeds[] = {{-0.2, 0.04}, {0.2, 0.04},   {0, 0.2},    {-0.13, 0.3},
                                        {0.13, 0.3},  {-0.26, 0.18}, {0.26, 0.18}};
    for (const QPointF& seed : seeds)
        p.fillPath(ellipse(seed * s, 0.026 * s, 0.038 * s), toColor(seedYellow));
    charmFace(p, {0, 0.04 * s}, 0.86 * s, std::nullopt);
}

void drawRibbon(QPainter& p, double s, double pixelScale) {
    p.fillPath(polygon({{}, {-0.16 * s, 0.34 * s}, {-0.3 * s, 0.3 * s}}), toColor(ribbonTail));
    p.fillPath(polygon({{}, {0.16 * s, 0.34 * s}, {0.3 * s, 0.3 * s}}), toColor(ribbonTail));
    for (const double side : {-1.0, 1.0}) {
        const QPainterPath loop =
            ellipse({side * 0.26 * s, -0.08 * s}, 0.24 * s, 0.17 * s, side * 0.22);
        p.fillPath(loop, toColor(ribbonLoop));
        // One light for the whole bow, centred on the knot: each loop
        // darkens towards its outer end.
        rimShade(p, loop, ribbonLoop, {0, -0.08 * s}, 0.34 * s, pixelScale);
    }
    p.fillPath(circle({0, -0.04 * s}, 0.1 * s), toColor(ribbonKnot));
}

void drawFigure(QPainter& p, double s, const QString& kind, double pixelScale) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    if (kind == u"bear")
        drawBear(p, s, pixelScale);
    else if (kind == u"cloud")
        drawCloud(p, s, pixelScale);
    else if (kind == u"berry")
        drawBerry(p, s, pixelScale);
    else if (kind == u"ribbon")
        drawRibbon(p, s, pixelScale);
    else
        drawBunny(p, s, pixelScale);
    p.restore();
}

// One layer per thread, so its buffers are reused from frame to frame.
ShadowLayer& layer() {
    thread_local ShadowLayer shared;
    return shared;
}

QColor shadowColour(const PenPalette& palette) {
    const RGB& ground = palette[paletteEntry::background];
    const double luminance = 0.299 * ground.r + 0.587 * ground.g + 0.114 * ground.b;
    return luminance < 128 ? QColor::fromRgbF(0, 0, 0, 0.35f) : toColor(lightShadow, 0.28);
}

void drawRing(QPainter& p, double s, const RGB& metal, double pixelScale) {
    p.setBrush(Qt::NoBrush);
    p.setPen(strokePen(toColor(metal), 0.05 * s, Qt::FlatCap));
    p.drawEllipse(QPointF(0, -0.6 * s), 0.1 * s, 0.1 * s);
    if (s * pixelScale >= glintPixels) {
        p.setPen(strokePen(QColor::fromRgbF(1, 1, 1, 0.55f), std::max(0.75 / pixelScale, 0.018 * s),
                           Qt::RoundCap));
        p.drawPolyline(arc({0, -0.6 * s}, 0.1 * s, 201.6, 64.8, 11));
    }
}

void drawChain(QPainter& p, double s, const RGB& metal, double pixelScale) {
    p.setPen(strokePen(toColor(metal), 0.05 * s, Qt::FlatCap));
    p.drawLine(QPointF(0, -1.0 * s), QPointF(0, -0.66 * s));
    if (s * pixelScale >= glintPixels) {
        const double x = 0.016 * s;
        p.setPen(strokePen(toColor(shifted(metal, -0.18), 0.8), std::max(0.75 / pixelScale, x),
                           Qt::FlatCap));
        p.drawLine(QPointF(x, -1.0 * s), QPointF(x, -0.66 * s));
    }
}

// The charm around the painter's origin, the figure's centre, at size `s`.
void drawCharmHere(QPainter& p, double s, const QString& kind, const PenPalette& palette,
                   double pixelScale, bool skipShadow, bool withChain) {
    const RGB& metal = palette[paletteEntry::metal];
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    if (withChain)
        drawChain(p, s, metal, pixelScale);
    drawRing(p, s, metal, pixelScale);
    p.restore();
    const auto figure = [&](QPainter& q) { drawFigure(q, s, kind, pixelScale); };
    if (skipShadow) {
        figure(p);
        return;
    }
    // Wide enough for the bunny's ears and the bow's tilted loops.
    const QRectF bounds(-0.6 * s, -0.95 * s, 1.2 * s, 1.5 * s);
    layer().draw(p, bounds, figure, shadowColour(palette), 0.125 * s, QPointF(0.05 * s, 0.12 * s));
}

bool usable(double value) {
    return std::isfinite(value) && value > 0;
}

} // namespace

void drawCharm(QPainter& painter, QPointF anchor, double layoutScale, double swingDegrees,
               const QString& kind, const PenPalette& palette, double pixelScale, bool skipShadow) {
    if (!usable(layoutScale) || !std::isfinite(anchor.x()) || !std::isfinite(anchor.y()))
        return;
    if (!usable(pixelScale))
        pixelScale = 1;
    if (!std::isfinite(swingDegrees))
        swingDegrees = 0;
    const double s = 132 * layoutScale;
    painter.save();
    painter.translate(anchor.x(), anchor.y() + 6 * layoutScale);
    painter.rotate(swingDegrees);
    painter.translate(0, 1.02 * s);
    drawCharmHere(painter, s, kind, palette, pixelScale, skipShadow, true);
    painter.restore();
}

void paintCharmIcon(QPainter& painter, QSizeF size, const QString& kind, bool dark,
                    double devicePixelRatio) {
    if (!usable(size.width()) || !usable(size.height()))
        return;
    const double pixelScale = usable(devicePixelRatio) ? devicePixelRatio : 2;
    const double s = 0.66 * size.width();
    painter.save();
    painter.translate(size.width() / 2, 0.58 * size.height());
    drawCharmHere(painter, s, kind, penPalette(dark), pixelScale, false, false);
    painter.restore();
}

void charmFace(QPainter& p, QPointF centre, double s, std::optional<RGB> cheeks) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.fillPath(circle(centre + QPointF(-0.17 * s, -0.02 * s), 0.07 * s), toColor(faceInk));
    p.fillPath(circle(centre + QPointF(0.17 * s, -0.02 * s), 0.07 * s), toColor(faceInk));
    p.setBrush(Qt::NoBrush);
    p.setPen(strokePen(toColor(faceInk), 0.035 * s, Qt::RoundCap));
    p.drawPolyline(arc(centre + QPointF(0, 0.1 * s), 0.11 * s, 27, 126, 20));
    if (cheeks) {
        p.fillPath(ellipse(centre + QPointF(-0.3 * s, 0.1 * s), 0.09 * s, 0.06 * s),
                   toColor(*cheeks));
        p.fillPath(ellipse(centre + QPointF(0.3 * s, 0.1 * s), 0.09 * s, 0.06 * s),
                   toColor(*cheeks));
    }
    p.restore();
}

} // namespace tessaro
