#include "beadpainter.h"

#include "paintcolour.h"
#include "paintshapes.h"
#include "shadowlayer.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QLinearGradient>
#include <QPainter>
#include <QPolygonF>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tessaro {

namespace {

constexpr RGB letterInk{46, 46, 48};
constexpr RGB warmLight{255, 240, 230};
constexpr RGB contactShade{60, 40, 35};
constexpr RGB flowerCentre{0xF7, 0xD7, 0x74};
constexpr RGB sprinklePink{0xF4, 0xA0, 0xB9};
constexpr RGB pearlEnd{0xE6, 0xDC, 0xD2};
constexpr RGB pearlPink{246, 201, 216};
constexpr RGB pearlBlue{201, 221, 242};
constexpr RGB blush{0xF8, 0xCB, 0xD8};
constexpr RGB bunnyNose{0xF0, 0xA9, 0x8C};
constexpr RGB bearNose{0x5A, 0x3A, 0x22};
constexpr RGB leafGreen{0x3E, 0x8E, 0x45};
constexpr RGB seedYellow{0xF7, 0xD7, 0x74};

// Below these radii in device pixels a detail would be smaller than a pixel
// or two and is skipped.
constexpr double rimPixels = 4;
constexpr double sparklePixels = 5;
constexpr double glowPixels = 6;

// One layer per thread, so its buffers are reused from bead to bead.
ShadowLayer& layer() {
    thread_local ShadowLayer shared;
    return shared;
}

// The sphere shading of a body whose radius is `r` around `centre`: the
// upper left stays lit and a rim band darkens by `k`, easing off at the edge.
// Over a body already filled with `base` the first stop is transparent;
// `withBody` paints body and shading in one opaque fill, which looks the same
// and halves the work.
void sphereShading(QPainter& p, const QPainterPath& body, const RGB& base, double k, double r,
                   QPointF centre = {}, bool withBody = false) {
    QRadialGradient light(centre + QPointF(-0.35 * r, -0.4 * r), 1.56 * r);
    light.setColorAt(0, toColor(base, withBody ? 1 : 0));
    light.setColorAt(0.5, toColor(base));
    light.setColorAt(0.72, toColor(shifted(base, 0.3 * k)));
    light.setColorAt(0.9, toColor(shifted(base, k)));
    light.setColorAt(1, toColor(shifted(base, 0.62 * k)));
    p.fillPath(body, light);
}

// A dark line along the inside of the lower rim, softened by its shadow.
// The caller clips to the body.
void innerRim(QPainter& p, const RGB& base, double r, double pixelScale) {
    const RGB dark = shifted(base, -0.28);
    const QPolygonF lower = arc({}, 0.95 * r, 38, 104, 17);
    const double width = std::max(0.8 / pixelScale, 0.09 * r);
    const QRectF bounds = lower.boundingRect().adjusted(-width, -width, width, width);
    layer().draw(
        p, bounds,
        [&](QPainter& q) {
            q.setPen(strokePen(toColor(dark), width));
            q.drawPolyline(lower);
        },
        toColor(dark, 0.9), 0.04 * r);
}

// Warm light pooled at the bottom. The caller clips to the body.
void warmPool(QPainter& p, double r) {
    p.save();
    p.translate(0.1 * r, 0.72 * r);
    p.scale(1, 0.24);
    QRadialGradient pool(QPointF(), 0.5 * r);
    pool.setColorAt(0, toColor(warmLight, 0.22));
    pool.setColorAt(1, toColor(warmLight, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(pool);
    p.drawEllipse(QPointF(), 0.5 * r, 0.5 * r);
    p.restore();
}

// The pen's thread seen through the glass, lying along the pen.
void thread(QPainter& p, const RGB& colour, double r, double angle, double halfWidth, double bow) {
    p.save();
    p.rotate(angle / degree);
    QPainterPath band;
    band.moveTo(-1.2 * r, -halfWidth);
    band.quadTo(0, bow - halfWidth, 1.2 * r, -halfWidth);
    band.lineTo(1.2 * r, halfWidth);
    band.quadTo(0, bow + halfWidth, -1.2 * r, halfWidth);
    band.closeSubpath();
    QLinearGradient across(0, -halfWidth, 0, halfWidth);
    across.setColorAt(0, toColor(colour, 0.1));
    across.setColorAt(0.45, toColor(colour, 0.35));
    across.setColorAt(1, toColor(colour, 0.1));
    p.fillPath(band, across);
    p.restore();
}

// Where a shaped bead keeps its highlight and its small glints.
struct ShapeLook {
    double k;
    RGB innerShade;
    QPointF highlight; // in units of r
    QPointF glint;     // in units of r
};

// The rim-only shade that gives a shaped body its volume.
void innerShade(QPainter& p, const QPainterPath& body, const RGB& shade, double r) {
    QRadialGradient rim(QPointF(-0.1 * r, -0.1 * r), 1.35 * r);
    rim.setColorAt(0, toColor(shade, 0));
    rim.setColorAt(0.63, toColor(shade, 0));
    rim.setColorAt(1, toColor(shade, 0.9));
    p.fillPath(body, rim);
}

// The shade where the bead meets the barrel: below the bead, across the pen.
void contactShadeOn(QPainter& p, double r, double angle) {
    p.save();
    p.translate(-std::sin(angle) * 0.92 * r, std::cos(angle) * 0.92 * r);
    p.rotate(angle / degree);
    p.scale(1, 0.4);
    QRadialGradient shade(QPointF(), 0.8 * r);
    shade.setColorAt(0, toColor(contactShade, 0.72 * 0.35));
    shade.setColorAt(1, toColor(contactShade, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shade);
    p.drawEllipse(QPointF(), 0.8 * r, 0.8 * r);
    p.restore();
}

// The highlight of a shaped bead: the round bead's, a little smaller, at
// the shape's upper left, glowing through the soft glow.
void shapedHighlight(QPainter& p, const QPainterPath& body, QPointF centre, double main,
                     double streak, double r, double pixelScale) {
    const QPainterPath spot = ellipse(centre, 0.1472 * r, 0.1012 * r, -35 * degree);
    if (r * pixelScale < glowPixels) {
        p.fillPath(spot, white(main));
        return;
    }
    softGlow(p, spot, main, r, 1);
    p.save();
    p.setClipPath(body, Qt::IntersectClip);
    p.translate(centre + QPointF(0.2024 * r, -0.2024 * r));
    p.rotate(-35);
    QPainterPath bar;
    bar.addRoundedRect(QRectF(-0.1288 * r, -0.0736 * r, 0.2576 * r, 0.1472 * r), 0.046 * r,
                       0.046 * r);
    p.fillPath(bar, white(streak));
    p.restore();
}

void shapedBody(QPainter& p, const QPainterPath& body, const RGB& base, const ShapeLook& look,
                double r, double angle, double pixelScale) {
    sphereShading(p, body, base, look.k, r, {}, true);
    const double pixels = r * pixelScale;
    if (pixels >= rimPixels) {
        innerShade(p, body, look.innerShade, r);
        p.save();
        p.setClipPath(body, Qt::IntersectClip);
        if (pixels >= sparklePixels) {
            const QPointF at = look.glint * r;
            p.fillPath(ellipse(at, 0.08 * r, 0.035 * r, -35 * degree), white(0.4));
            p.fillPath(circle(at + QPointF(0.1 * r, -0.07 * r), 0.025 * r), white(0.45));
        }
        warmPool(p, r);
        if (pixels >= glowPixels)
            contactShadeOn(p, r, angle);
        p.restore();
    }
    shapedHighlight(p, body, look.highlight * r, 0.9, 0.36, r, pixelScale);
}

QPainterPath roundedSquare(double half, double corner) {
    // Continuous corners: each curve starts further along the edge than a
    // circular arc would and bends gently, with no kink where it meets the
    // straight side.
    const double reach = std::min(1.528 * corner, half);
    const double pull = 0.2 * reach;
    QPainterPath path;
    path.moveTo(-half + reach, -half);
    path.lineTo(half - reach, -half);
    path.cubicTo(half - pull, -half, half, -half + pull, half, -half + reach);
    path.lineTo(half, half - reach);
    path.cubicTo(half, half - pull, half - pull, half, half - reach, half);
    path.lineTo(-half + reach, half);
    path.cubicTo(-half + pull, half, -half, half - pull, -half, half - reach);
    path.lineTo(-half, -half + reach);
    path.cubicTo(-half, -half + pull, -half + pull, -half, -half + reach, -half);
    path.closeSubpath();
    return path;
}

bool hasHangul(const QString& text) {
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= 0xAC00 && u <= 0xD7A3) || (u >= 0x3131 && u <= 0x318E);
    });
}

// Letter outlines are built once at this pixel size and scaled, so they
// stay exact at any radius.
constexpr double glyphSize = 100;

// The text's outline, centred on its advance and line box.
const QPainterPath& letterPath(const QString& text, bool korean) {
    thread_local QHash<QString, QPainterPath> cache;
    const QString key = (korean ? u'k' : u'l') + text;
    auto it = cache.constFind(key);
    if (it != cache.cend())
        return *it;
    // The catalog holds a few dozen letters; anything beyond is a caller's
    // own text, which must not grow the cache without bound.
    if (cache.size() > 256)
        cache.clear();
    QFont font;
    // The families the test command installs come first, so that letters
    // look the same on every machine that runs the tests.
    if (korean)
        font.setFamilies({QStringLiteral("NanumGothic"), QStringLiteral("Noto Sans CJK KR")});
    else
        font.setFamilies({QStringLiteral("Quicksand"), QStringLiteral("Nunito")});
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::Bold);
    font.setPixelSize(int(glyphSize));
    const QFontMetricsF metrics(font);
    const double advance = metrics.horizontalAdvance(text);
    QPainterPath path;
    path.addText(QPointF(-advance / 2, (metrics.ascent() - metrics.descent()) / 2), font, text);
    return *cache.insert(key, path);
}

void drawLetter(QPainter& p, const QString& text, double r) {
    if (text.isEmpty())
        return;
    const bool korean = hasHangul(text);
    const double size = korean ? r : 1.1 * r;
    const double drop = korean ? 0.04 : 0.06;
    p.save();
    p.setClipPath(circle({}, r), Qt::IntersectClip);
    p.setOpacity(p.opacity() * 0.9);
    p.translate(0, drop * r);
    p.scale(size / glyphSize, size / glyphSize);
    p.fillPath(letterPath(text, korean), toColor(letterInk));
    p.restore();
}

void drawSprinkles(QPainter& p, double r) {
    struct Dot {
        double x, y;
        bool pink;
    };
    static constexpr Dot dots[] = {{-0.3, 0.1, false},   {0.2, -0.3, false},
                                   {0.36, 0.22, true},   {-0.05, 0.42, false},
                                   {-0.42, -0.24, true}, {0.05, -0.02, false}};
    for (const Dot& dot : dots)
        p.fillPath(circle(QPointF(dot.x, dot.y) * r, 0.075 * r),
                   dot.pink ? toColor(sprinklePink) : white(1));
}

void drawSmile(QPainter& p, double r) {
    p.fillPath(circle({-0.3 * r, -0.08 * r}, 0.1 * r), toColor(faceInk));
    p.fillPath(circle({0.3 * r, -0.08 * r}, 0.1 * r), toColor(faceInk));
    p.setPen(strokePen(toColor(faceInk), 0.1 * r));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(arc({0, 0.08 * r}, 0.34 * r, 32.4, 115.2, 18));
}

void drawPearl(QPainter& p, const RGB& base, double r, double pixelScale) {
    const QPainterPath body = circle({}, r);
    QLinearGradient sheen(-0.62 * r, -0.68 * r, 0.62 * r, 0.68 * r);
    sheen.setColorAt(0, white(1));
    sheen.setColorAt(0.42, toColor(base));
    sheen.setColorAt(1, toColor(pearlEnd));
    p.fillPath(body, sheen);
    p.save();
    p.setClipPath(body, Qt::IntersectClip);
    p.setBrush(Qt::NoBrush);
    const QPointF centre(0.06 * r, 0.06 * r);
    p.setPen(strokePen(toColor(pearlPink, 0.35), 0.26 * r));
    p.drawPolyline(arc(centre, 0.74 * r, -3.65, 54, 10));
    p.setPen(strokePen(toColor(pearlBlue, 0.35), 0.26 * r));
    p.drawPolyline(arc(centre, 0.74 * r, 126.35, 54, 10));
    p.restore();
    sphereShading(p, body, base, -0.2, r);
    rimLight(p, r, pixelScale, 0.3);
}

void drawJelly(QPainter& p, const RGB& base, double r, double angle, double pixelScale) {
    // The whole bead at 60 %, so the pen shows through it.
    p.setOpacity(p.opacity() * 0.6);
    const QPainterPath body = circle({}, r);
    p.fillPath(body, toColor(base));
    sphereShading(p, body, base, -0.24, r);
    p.save();
    p.setClipPath(body, Qt::IntersectClip);
    thread(p, shifted(base, -0.4), r, angle, 0.11 * r, 0.06 * r);
    if (r * pixelScale >= rimPixels)
        innerRim(p, base, r, pixelScale);
    p.restore();
    rimLight(p, r, pixelScale, 0.5);
}

void drawRhinestone(QPainter& p, const RGB& base, double r, double pixelScale) {
    const QPainterPath body = circle({}, r);
    p.fillPath(body, toColor(base));
    p.save();
    p.setClipPath(body, Qt::IntersectClip);
    for (int k = 0; k < 8; ++k) {
        const double from = 0.19 + k * 45 * degree;
        const double to = from + 45 * degree;
        const QPainterPath facet =
            polygon({QPointF(), 1.05 * r * QPointF(std::cos(from), std::sin(from)),
                     1.05 * r * QPointF(std::cos(to), std::sin(to))});
        p.fillPath(facet, toColor(shifted(base, k % 2 == 0 ? 0.18 : -0.12)));
    }
    if (r * pixelScale >= rimPixels) {
        p.setPen(QPen(white(0.45), std::max(0.7 / pixelScale, 0.05 * r)));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(), 0.44 * r, 0.44 * r);
    }
    p.restore();
    sphereShading(p, body, base, -0.18, r);
    // A cut stone catches the light harder than round glass.
    glossHighlight(p, 0.95, 0.5, r, pixelScale);
}

void drawFlower(QPainter& p, const BeadSpec& bead, double r, double angle, double pixelScale) {
    const RGB& base = bead.rgb;
    shapedBody(p, *beadSilhouette(BeadShape::flower, r), base,
               {-0.22, shifted(base, -0.1), {-0.46, -0.62}, {0.4, 0.54}}, r, angle, pixelScale);
    const RGB centre = bead.centre.value_or(flowerCentre);
    const double radius = 0.24 * r;
    const QPainterPath disc = circle({}, radius);
    sphereShading(p, disc, centre, -0.16, radius, {}, true);
    if (r * pixelScale >= glowPixels)
        p.fillPath(circle({-0.08 * r, -0.09 * r}, 0.055 * r), white(0.6));
}

void drawBow(QPainter& p, const RGB& base, double r, double angle, double pixelScale) {
    const QColor tail = toColor(shifted(base, -0.14));
    p.fillPath(polygon({{0, 0}, {-0.32 * r, 0.88 * r}, {-0.6 * r, 0.74 * r}}), tail);
    p.fillPath(polygon({{0, 0}, {0.32 * r, 0.88 * r}, {0.6 * r, 0.74 * r}}), tail);
    shapedBody(p, *beadSilhouette(BeadShape::bow, r), base,
               {-0.16, shifted(base, -0.16), {-0.6, -0.3}, {0.6, -0.04}}, r, angle, pixelScale);
    const QPointF knotCentre(0, -0.12 * r);
    const double knotR = 0.17 * r;
    const QPainterPath knot = circle(knotCentre, knotR);
    sphereShading(p, knot, base, -0.18, knotR, knotCentre, true);
}

void drawBunny(QPainter& p, const RGB& base, double r, double angle, double pixelScale) {
    for (const double side : {-1.0, 1.0}) {
        const QPointF centre(side * 0.34 * r, -0.5 * r);
        p.fillPath(ellipse(centre, 0.155 * r, 0.36 * r, side * 0.14), toColor(base));
        p.fillPath(ellipse(centre, 0.075 * r, 0.22 * r, side * 0.14), toColor(blush));
    }
    shapedBody(p, *beadSilhouette(BeadShape::bunny, r), base,
               {-0.2, shifted(base, -0.12), {-0.32, -0.2}, {0.34, 0.5}}, r, angle, pixelScale);
    beadFace(p, 0.8 * r, 0.2 * r, blush);
    p.fillPath(polygon({{0, 0.3 * r}, {-0.1 * r, 0.14 * r}, {0.1 * r, 0.14 * r}}),
               toColor(bunnyNose));
}

void drawBear(QPainter& p, const RGB& base, double r, double angle, double pixelScale) {
    for (const double side : {-1.0, 1.0}) {
        p.fillPath(circle({side * 0.58 * r, -0.5 * r}, 0.26 * r), toColor(shifted(base, -0.06)));
        p.fillPath(circle({side * 0.58 * r, -0.5 * r}, 0.13 * r), toColor(shifted(base, 0.22)));
    }
    shapedBody(p, *beadSilhouette(BeadShape::bear, r), base,
               {-0.22, shifted(base, -0.12), {-0.42, -0.36}, {0.4, 0.46}}, r, angle, pixelScale);
    p.fillPath(ellipse({0, -0.01 * r}, 0.23 * r, 0.14 * r), toColor(shifted(base, 0.22)));
    beadFace(p, 0.72 * r, -0.16 * r, shifted(base, 0.3));
    p.fillPath(ellipse({0, -0.08 * r}, 0.075 * r, 0.05 * r), toColor(bearNose));
}

void drawCloud(QPainter& p, const RGB& base, double r, double angle, double pixelScale) {
    shapedBody(p, *beadSilhouette(BeadShape::cloud, r), base,
               {-0.18, shifted(base, -0.12), {-0.24, -0.52}, {0.5, 0.3}}, r, angle, pixelScale);
    p.setBrush(Qt::NoBrush);
    p.setPen(strokePen(toColor(faceInk), 0.06 * r));
    p.drawPolyline(arc({-0.28 * r, 0.02 * r}, 0.09 * r, 207, 126, 14));
    p.drawPolyline(arc({0.28 * r, 0.02 * r}, 0.09 * r, 207, 126, 14));
    p.setPen(strokePen(toColor(faceInk), 0.05 * r));
    p.drawPolyline(arc({0, 0.12 * r}, 0.09 * r, 27, 126, 14));
    p.fillPath(ellipse({-0.46 * r, 0.16 * r}, 0.1 * r, 0.06 * r), toColor(blush));
    p.fillPath(ellipse({0.46 * r, 0.16 * r}, 0.1 * r, 0.06 * r), toColor(blush));
}

void drawBerry(QPainter& p, const RGB& base, double r, double angle, double pixelScale) {
    const QPainterPath body = *beadSilhouette(BeadShape::berry, r);
    shapedBody(p, body, base, {-0.26, shifted(base, -0.12), {-0.34, -0.12}, {0.3, 0.4}}, r, angle,
               pixelScale);
    p.save();
    p.setClipPath(body, Qt::IntersectClip);
    static constexpr QPointF seeds[] = {{-0.38, 0.1}, {0.38, 0.1},   {0, 0.36},    {-0.22, 0.56},
                                        {0.22, 0.56}, {-0.46, 0.34}, {0.46, 0.34}, {0, 0.02}};
    for (const QPointF& seed : seeds)
        p.fillPath(ellipse(seed * r, 0.045 * r, 0.066 * r), toColor(seedYellow));
    p.restore();
    for (int i = -2; i <= 2; ++i) {
        p.save();
        p.translate(0, -0.5 * r);
        p.rotate(i * 0.38 / degree);
        p.fillPath(ellipse({0, -0.14 * r}, 0.11 * r, 0.2 * r), toColor(leafGreen));
        p.restore();
    }
}

} // namespace

std::optional<QPainterPath> beadSilhouette(BeadShape shape, double r) {
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    switch (shape) {
    case BeadShape::round:
    case BeadShape::pearl:
    case BeadShape::jelly:
    case BeadShape::sprinkle:
    case BeadShape::smile:
    case BeadShape::letter:
    case BeadShape::rhine:
        return std::nullopt;
    case BeadShape::flower:
        for (int i = 0; i < 5; ++i) {
            const double a = i * 72 * degree;
            path.addEllipse(QPointF(0.52 * r * std::sin(a), -0.52 * r * std::cos(a)), 0.46 * r,
                            0.46 * r);
        }
        return path;
    case BeadShape::heart: {
        const double h = 1.08 * r;
        path.moveTo(0, 0.92 * h);
        path.cubicTo(-1.05 * h, 0.2 * h, -0.95 * h, -0.95 * h, 0, -0.42 * h);
        path.cubicTo(0.95 * h, -0.95 * h, 1.05 * h, 0.2 * h, 0, 0.92 * h);
        path.closeSubpath();
        return path;
    }
    case BeadShape::star: {
        const double s = 0.98 * r;
        QPolygonF points;
        for (int k = 0; k < 10; ++k) {
            const double rho = k % 2 == 0 ? 1.02 * s : 0.5 * s;
            const double a = 36 * k * degree;
            points << QPointF(rho * std::sin(a), 0.06 * s - rho * std::cos(a));
        }
        path.addPolygon(points);
        path.closeSubpath();
        return path;
    }
    case BeadShape::cube: {
        QPainterPath square = roundedSquare(0.86 * r, 0.34 * r);
        square.setFillRule(Qt::WindingFill);
        return square;
    }
    case BeadShape::bow:
        path.addPath(ellipse({-0.5 * r, -0.16 * r}, 0.46 * r, 0.33 * r, -0.24));
        path.addPath(ellipse({0.5 * r, -0.16 * r}, 0.46 * r, 0.33 * r, 0.24));
        return path;
    case BeadShape::bunny:
        path.addEllipse(QPointF(0, 0.16 * r), 0.72 * r, 0.72 * r);
        return path;
    case BeadShape::bear:
        path.addEllipse(QPointF(0, 0.08 * r), 0.78 * r, 0.78 * r);
        return path;
    case BeadShape::cloud:
        path.addEllipse(QPointF(-0.42 * r, 0.1 * r), 0.42 * r, 0.42 * r);
        path.addEllipse(QPointF(0.42 * r, 0.1 * r), 0.42 * r, 0.42 * r);
        path.addEllipse(QPointF(0, -0.26 * r), 0.54 * r, 0.54 * r);
        path.addRect(QRectF(-0.42 * r, -0.02 * r, 0.84 * r, 0.54 * r));
        return path;
    case BeadShape::berry:
        path.moveTo(0, 0.9 * r);
        path.cubicTo(-0.86 * r, 0.24 * r, -0.78 * r, -0.56 * r, 0, -0.52 * r);
        path.cubicTo(0.78 * r, -0.56 * r, 0.86 * r, 0.24 * r, 0, 0.9 * r);
        path.closeSubpath();
        return path;
    }
    return std::nullopt;
}

void glassBody(QPainter& p, const QPainterPath& body, double k, const RGB& base, double r,
               double pixelScale, double angle, double band) {
    sphereShading(p, body, base, k, r, {}, true);
    const bool detailed = r * pixelScale >= rimPixels;
    if (band > 0 || detailed) {
        p.save();
        p.setClipPath(body, Qt::IntersectClip);
        if (band > 0)
            thread(p, shifted(base, -0.14), r, angle, band / 2, 0.06 * r);
        if (detailed) {
            innerRim(p, base, r, pixelScale);
            warmPool(p, r);
        }
        p.restore();
    }
    rimLight(p, r, pixelScale, 0.34);
}

void glossHighlight(QPainter& p, double main, double streak, double r, double pixelScale) {
    const QPointF centre(-0.34 * r, -0.4 * r);
    const QPainterPath spot = ellipse(centre, 0.16 * r, 0.11 * r, -35 * degree);
    const double pixels = r * pixelScale;
    if (pixels < glowPixels) {
        p.fillPath(spot, white(main));
    } else {
        p.save();
        p.setClipRect(QRectF(centre.x() - 0.56 * r, centre.y() - 0.56 * r, 1.12 * r, 1.12 * r),
                      Qt::IntersectClip);
        softGlow(p, spot, main, r, 1);
        p.translate(-0.12 * r, -0.62 * r);
        p.rotate(-35);
        QPainterPath bar;
        bar.addRoundedRect(QRectF(-0.14 * r, -0.08 * r, 0.28 * r, 0.16 * r), 0.05 * r, 0.05 * r);
        p.fillPath(bar, white(streak));
        p.restore();
    }
    if (pixels >= sparklePixels)
        p.fillPath(circle({0.42 * r, 0.38 * r}, 0.06 * r), white(0.35));
}

void rimLight(QPainter& p, double r, double pixelScale, double strength) {
    if (r * pixelScale < rimPixels)
        return;
    // Only the inner half of the stroke along the rim shows inside the
    // circle; stroking that half directly spares a clip.
    const double width = std::max(1.1 / pixelScale, 0.16 * r);
    const double inner = r - width / 2;
    p.save();
    if (inner >= 0.9 * r) {
        // The gradient is spent by 0.9 r: all the band sees is its last
        // colour, and a plain pen is much cheaper to fill.
        p.setPen(strokePen(white(strength), width / 2));
    } else {
        QRadialGradient light(QPointF(), 0.9 * r);
        light.setColorAt(0, white(0));
        light.setColorAt(1, white(strength));
        p.setPen(strokePen(light, width / 2));
    }
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(arc({}, r - width / 4, 20, 140, 22));
    p.restore();
}

void softGlow(QPainter& p, const QPainterPath& path, double opacity, double r, double factor) {
    layer().draw(
        p, path.boundingRect(), [&](QPainter& q) { q.fillPath(path, white(opacity)); },
        white(std::min(opacity, 1.0)), 0.125 * r * factor);
}

void beadFace(QPainter& p, double s, double cy, std::optional<RGB> cheeks) {
    p.save();
    p.fillPath(circle({-0.28 * s, cy - 0.04 * s}, 0.085 * s), toColor(faceInk));
    p.fillPath(circle({0.28 * s, cy - 0.04 * s}, 0.085 * s), toColor(faceInk));
    p.setBrush(Qt::NoBrush);
    p.setPen(strokePen(toColor(faceInk), 0.06 * s));
    p.drawPolyline(arc({0, cy + 0.1 * s}, 0.15 * s, 32.4, 115.2, 18));
    if (cheeks) {
        p.fillPath(ellipse({-0.48 * s, cy + 0.1 * s}, 0.13 * s, 0.08 * s), toColor(*cheeks));
        p.fillPath(ellipse({0.48 * s, cy + 0.1 * s}, 0.13 * s, 0.08 * s), toColor(*cheeks));
    }
    p.restore();
}

bool beadFollowsPenAngle(BeadShape shape) {
    switch (shape) {
    case BeadShape::round:
    case BeadShape::pearl:
    case BeadShape::sprinkle:
    case BeadShape::smile:
    case BeadShape::letter:
    case BeadShape::rhine:
        return false;
    default:
        return true;
    }
}

void drawBead(QPainter& p, const BeadSpec& bead, double r, double angle, double pixelScale) {
    if (!(r > 0) || !std::isfinite(r))
        return;
    if (!(pixelScale > 0) || !std::isfinite(pixelScale))
        pixelScale = 1;
    if (!std::isfinite(angle))
        angle = 0;
    const RGB& base = bead.rgb;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    const QPainterPath disc = circle({}, r);
    switch (bead.shape) {
    case BeadShape::round:
        glassBody(p, disc, -0.3, base, r, pixelScale);
        glossHighlight(p, 0.95, 0.45, r, pixelScale);
        break;
    case BeadShape::sprinkle:
        glassBody(p, disc, -0.3, base, r, pixelScale);
        drawSprinkles(p, r);
        glossHighlight(p, 0.95, 0.38, r, pixelScale);
        break;
    case BeadShape::smile:
        glassBody(p, disc, -0.26, base, r, pixelScale);
        drawSmile(p, r);
        p.setPen(Qt::NoPen);
        glossHighlight(p, 0.9, 0.34, r, pixelScale);
        break;
    case BeadShape::pearl:
        drawPearl(p, base, r, pixelScale);
        break;
    case BeadShape::jelly:
        drawJelly(p, base, r, angle, pixelScale);
        break;
    case BeadShape::letter:
        glassBody(p, disc, -0.26, base, r, pixelScale);
        drawLetter(p, bead.letter.value_or(QString()), r);
        glossHighlight(p, 0.9, 0.4, r, pixelScale);
        break;
    case BeadShape::rhine:
        drawRhinestone(p, base, r, pixelScale);
        break;
    case BeadShape::flower:
        drawFlower(p, bead, r, angle, pixelScale);
        break;
    case BeadShape::heart:
    case BeadShape::cube:
        shapedBody(p, *beadSilhouette(bead.shape, r), base,
                   {-0.26, shifted(base, -0.12),
                    bead.shape == BeadShape::heart ? QPointF(-0.44, -0.4) : QPointF(-0.48, -0.48),
                    bead.shape == BeadShape::heart ? QPointF(0.3, 0.22) : QPointF(0.5, 0.5)},
                   r, angle, pixelScale);
        break;
    case BeadShape::star:
        shapedBody(p, *beadSilhouette(bead.shape, r), base,
                   {-0.26, shifted(base, -0.12), {-0.26, -0.16}, {0.2, 0.3}}, r, angle, pixelScale);
        break;
    case BeadShape::bow:
        drawBow(p, base, r, angle, pixelScale);
        break;
    case BeadShape::bunny:
        drawBunny(p, base, r, angle, pixelScale);
        break;
    case BeadShape::bear:
        drawBear(p, base, r, angle, pixelScale);
        break;
    case BeadShape::cloud:
        drawCloud(p, base, r, angle, pixelScale);
        break;
    case BeadShape::berry:
        drawBerry(p, base, r, angle, pixelScale);
        break;
    }
    p.restore();
}

} // namespace tessaro
