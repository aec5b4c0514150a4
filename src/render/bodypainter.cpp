#include "bodypainter.h"

#include "render/paintcolour.h"
#include "render/paintshapes.h"

#include <QPainter>
#include <QPen>
#include <QTransform>

#include <algorithm>
#include <array>
#include <cmath>

namespace tessaro {

namespace {

// One painter call: the painter, its input and the sizes derived from them.
struct Body {
    QPainter& p;
    const BodyInput& in;
    double T;
    double pixelScale; // always positive
    double px;         // one device pixel in pen units

    RGB metal() const { return in.palette[paletteEntry::metal]; }
};

void fillRounded(QPainter& p, const QRectF& rect, double radius, const QBrush& brush) {
    p.setPen(Qt::NoPen);
    p.setBrush(brush);
    if (radius > 0)
        p.drawRoundedRect(rect, radius, radius);
    else
        p.drawRect(rect);
}

template <std::size_t N>
void fillPolygon(QPainter& p, const std::array<QPointF, N>& points, const QBrush& brush) {
    p.setPen(Qt::NoPen);
    p.setBrush(brush);
    p.drawPolygon(points.data(), int(N));
}

void strokeLine(QPainter& p, QPointF from, QPointF to, const QColor& colour, double width,
                Qt::PenCapStyle cap = Qt::RoundCap) {
    p.setPen(QPen(colour, width, Qt::SolidLine, cap, Qt::MiterJoin));
    p.drawLine(QLineF(from, to));
}

// A horizontal line one device pixel wide, so it stays crisp at every zoom.
void hairline(const Body& b, double x0, double x1, double y, const QColor& colour) {
    strokeLine(b.p, {x0, y}, {x1, y}, colour, b.px, Qt::FlatCap);
}

// The light catching a metal part's upper edge; too short to read below six
// device pixels.
void topEdgeLine(const Body& b, double x0, double x1, double top) {
    if ((x1 - x0) * b.pixelScale < 6)
        return;
    hairline(b, x0, x1, top + 0.5 * b.px, white(0.5));
}

// A long barrel reflection; round ends read as a soft highlight.
void reflection(const Body& b, double x0, double x1, double width, double opacity) {
    const double y = -0.24 * b.T;
    strokeLine(b.p, {x0, y}, {x1, y}, white(opacity), width);
}

QLinearGradient cylinderShading(double y0, double y1, const RGB& top, const RGB& bottom) {
    QLinearGradient g(0, y0, 0, y1);
    g.setColorAt(0, toColor(shifted(top, 0.1)));
    g.setColorAt(0.22, toColor(lightened(top, 0.55)));
    g.setColorAt(0.5, toColor(top));
    g.setColorAt(0.8, toColor(bottom));
    g.setColorAt(0.94, toColor(shifted(bottom, -0.04)));
    g.setColorAt(1, toColor(shifted(bottom, -0.14)));
    return g;
}

QLinearGradient metalShading(double y0, double y1, const RGB& metal) {
    QLinearGradient g(0, y0, 0, y1);
    g.setColorAt(0, toColor(shifted(metal, 0.28)));
    g.setColorAt(0.36, toColor(metal));
    g.setColorAt(0.8, toColor(shifted(metal, -0.1)));
    g.setColorAt(1, toColor(shifted(metal, 0.12)));
    return g;
}

// The plainer round shading of grips, ends, caps and the like: brightest in
// the middle, darkest at the lower edge.
QLinearGradient partShading(double y0, double y1, const RGB& upper, const RGB& middle,
                            const RGB& lower) {
    QLinearGradient g(0, y0, 0, y1);
    g.setColorAt(0, toColor(upper));
    g.setColorAt(0.5, toColor(middle));
    g.setColorAt(1, toColor(lower));
    return g;
}

void metalPart(const Body& b, const QRectF& rect, double radius) {
    fillRounded(b.p, rect, radius, metalShading(rect.top(), rect.bottom(), b.metal()));
}

// A clip and its head, which share their top edge.
void clip(const Body& b, double x, double width) {
    const double T = b.T;
    const double headEnd = x + width;
    metalPart(b, QRectF(x, -0.88 * T, width, 0.26 * T), 0.13 * T);
    metalPart(b, QRectF(headEnd - 0.34 * T, -0.88 * T, 0.34 * T, 0.56 * T), 0.14 * T);
    topEdgeLine(b, x + 0.13 * T, headEnd - 0.13 * T, -0.88 * T);
}

void barrel(const Body& b, double x, double width, double radius) {
    fillRounded(b.p, QRectF(x, -b.T / 2, width, b.T), radius,
                barrelShading(b.T, b.in.top, b.in.bottom));
}

void paintPencil(const Body& b) {
    QPainter& p = b.p;
    const double T = b.T;
    const RGB& top = b.in.top;
    const RGB& bottom = b.in.bottom;
    const RGB metal = b.metal();

    // A hexagonal pencil shows three flat facets.
    fillRounded(p, QRectF(92, -T / 2, 866, T / 3), 0, toColor(lightened(top, 0.34)));
    fillRounded(p, QRectF(92, -T / 6, 866, T / 3), 0, toColor(top));
    fillRounded(p, QRectF(92, T / 6, 866, T / 3), 0, toColor(shifted(bottom, -0.05)));
    if (T * b.pixelScale >= 6) {
        hairline(b, 92, 958, -T / 6, white(0.45));
        hairline(b, 92, 958, T / 6, toColor(shifted(bottom, -0.16), 0.55));
    }

    fillPolygon(p, std::array{QPointF(0, 0), QPointF(92, -T / 2), QPointF(92, -T / 6)},
                toColor(lightened(bottom, 0.26)));
    fillPolygon(p, std::array{QPointF(0, 0), QPointF(92, -T / 6), QPointF(92, T / 6)},
                toColor(bottom));
    fillPolygon(p, std::array{QPointF(0, 0), QPointF(92, T / 6), QPointF(92, T / 2)},
                toColor(shifted(bottom, -0.09)));

    fillPolygon(p, std::array{QPointF(0, 0), QPointF(31.28, -0.17 * T), QPointF(31.28, 0.17 * T)},
                toColor(metal));
    fillPolygon(p, std::array{QPointF(0, 0), QPointF(31.28, 0.02 * T), QPointF(31.28, 0.17 * T)},
                toColor(shifted(metal, -0.22)));
    hairline(b, 4.6, 27.6, -0.075 * T, white(0.4));

    reflection(b, 106, 944, std::max(0.03 * T, 2.0), 0.45);

    metalPart(b, QRectF(958, -0.62 * T, 42, 1.24 * T), 0.18 * T);
    topEdgeLine(b, 958 + 0.18 * T, 1000 - 0.18 * T, -0.62 * T);
}

void paintBallpoint(const Body& b) {
    QPainter& p = b.p;
    const double T = b.T;
    const RGB& bottom = b.in.bottom;
    const RGB metal = b.metal();

    barrel(b, 120, 838, 0.3 * T);

    fillPolygon(p,
                std::array{QPointF(14, -0.05 * T), QPointF(112, -0.24 * T), QPointF(148, -0.3 * T),
                           QPointF(148, 0.3 * T), QPointF(112, 0.24 * T), QPointF(14, 0.05 * T)},
                metalShading(-0.3 * T, 0.3 * T, metal));
    hairline(b, 26, 140, -0.09 * T, white(0.45));

    metalPart(b, QRectF(112, -0.26 * T, 14, 0.52 * T), 0.06 * T);
    p.setPen(Qt::NoPen);
    p.setBrush(toColor(shifted(metal, -0.2)));
    p.drawEllipse(QPointF(10, 0), 0.075 * T, 0.075 * T);
    p.setBrush(white(0.7));
    p.drawEllipse(QPointF(10 - 0.026 * T, -0.026 * T), 0.022 * T, 0.022 * T);

    {
        const QRectF grip(138, -0.52 * T, 152, 1.04 * T);
        QPainterPath shape;
        shape.addRoundedRect(grip, 0.26 * T, 0.26 * T);
        p.save();
        p.setClipPath(shape, Qt::IntersectClip);
        fillRounded(p, QRectF(138, -0.6 * T, 152, 1.2 * T), 0,
                    partShading(grip.top(), grip.bottom(), bottom, lightened(bottom, 0.1),
                                shifted(bottom, -0.1)));
        const QColor ridge = toColor(shifted(bottom, -0.3), 0.24);
        for (int k = 0; k <= 6; ++k)
            strokeLine(p, {150.0 + 22 * k, -0.6 * T}, {138.0 + 22 * k, 0.6 * T}, ridge, 0.07 * T,
                       Qt::FlatCap);
        p.restore();
    }

    reflection(b, 306, 900, 0.03 * T, 0.4);

    clip(b, 856, 116);

    fillRounded(
        p, QRectF(938, -0.56 * T, 46, 1.12 * T), 0.2 * T,
        partShading(-0.56 * T, 0.56 * T, bottom, lightened(bottom, 0.14), shifted(bottom, -0.08)));
    metalPart(b, QRectF(976, -0.34 * T, 24, 0.68 * T), 0.16 * T);
    topEdgeLine(b, 980, 996, -0.34 * T);
}

void paintGel(const Body& b) {
    QPainter& p = b.p;
    const double T = b.T;
    const RGB& ink = b.in.ink;

    // The refill, seen through the tinted barrel.
    const RGB refill = lightened(ink, 0.18);
    const RGB front = shifted(ink, -0.26);
    fillRounded(p, QRectF(118, -0.2 * T, 814, 0.4 * T), 0.2 * T,
                cylinderShading(-0.2 * T, 0.2 * T, refill, refill));
    fillRounded(p, QRectF(118, -0.2 * T, 220, 0.4 * T), 0.2 * T,
                cylinderShading(-0.2 * T, 0.2 * T, front, front));

    {
        const QRectF rect(96, -T / 2, 862, T);
        p.save();
        p.setOpacity(p.opacity() * 0.55);
        barrel(b, rect.x(), rect.width(), 0.26 * T);
        p.restore();
        p.setPen(QPen(toColor(shifted(b.in.bottom, -0.12)), 2));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(rect, 0.26 * T, 0.26 * T);
    }

    fillPolygon(p,
                std::array{QPointF(48, -0.05 * T), QPointF(126, -0.26 * T), QPointF(126, 0.26 * T),
                           QPointF(48, 0.05 * T)},
                metalShading(-0.26 * T, 0.26 * T, b.metal()));
    hairline(b, 56, 120, -0.1 * T, white(0.45));

    metalPart(b, QRectF(0, -0.055 * T, 52, 0.11 * T), 0.055 * T);
    hairline(b, 4, 46, -0.032 * T, white(0.55));

    reflection(b, 150, 900, 0.03 * T, 0.5);

    metalPart(b, QRectF(958, -0.62 * T, 42, 1.24 * T), 0.18 * T);
}

void paintFountain(const Body& b) {
    QPainter& p = b.p;
    const double T = b.T;
    const RGB& bottom = b.in.bottom;

    barrel(b, 176, 700, 0.22 * T);
    reflection(b, 232, 848, 0.03 * T, 0.45);

    fillRounded(
        p, QRectF(866, -0.56 * T, 134, 1.12 * T), 0.3 * T,
        partShading(-0.56 * T, 0.56 * T, bottom, lightened(bottom, 0.14), shifted(bottom, -0.22)));
    metalPart(b, QRectF(852, -0.58 * T, 32, 1.16 * T), 0.1 * T);
    topEdgeLine(b, 856, 880, -0.58 * T);

    clip(b, 890, 96);

    metalPart(b, QRectF(148, -0.46 * T, 48, 0.92 * T), 0.16 * T);
    topEdgeLine(b, 156, 190, -0.46 * T);

    const RGB gold{231, 194, 122}; // #E7C27A
    QPainterPath nib;
    nib.moveTo(0, 0);
    nib.cubicTo(46, -0.1 * T, 96, -0.28 * T, 164, -0.34 * T);
    nib.lineTo(164, 0.34 * T);
    nib.cubicTo(96, 0.28 * T, 46, 0.1 * T, 0, 0);
    nib.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(partShading(-0.34 * T, 0.34 * T, lightened(gold, 0.35), gold, shifted(gold, -0.16)));
    p.drawPath(nib);

    QPainterPath shine;
    shine.addEllipse(QRectF(-58, -0.055 * T, 116, 0.11 * T));
    QLinearGradient fade(40, 0, 150, 0);
    fade.setColorAt(0, white(0));
    fade.setColorAt(0.5, white(0.62));
    fade.setColorAt(1, white(0));
    p.setBrush(fade);
    p.drawPath(QTransform().translate(96, -0.17 * T).rotateRadians(-0.08).map(shine));

    const QColor cut = toColor(shifted(gold, -0.45));
    p.setBrush(cut);
    p.drawEllipse(QPointF(114, 0), 0.1 * T, 0.1 * T);
    strokeLine(p, {8, 0}, {108, 0}, cut, 0.055 * T);
}

void paintBrush(const Body& b) {
    QPainter& p = b.p;
    const double T = b.T;
    const RGB& ink = b.in.ink;

    barrel(b, 196, 762, 0.24 * T);
    reflection(b, 250, 900, 0.03 * T, 0.45);

    metalPart(b, QRectF(164, -0.44 * T, 64, 0.88 * T), 0.14 * T);
    topEdgeLine(b, 172, 222, -0.44 * T);

    QPainterPath head;
    head.moveTo(0, 0);
    head.cubicTo(52, -0.07 * T, 112, -0.23 * T, 190, -0.33 * T);
    head.lineTo(190, 0.33 * T);
    head.cubicTo(112, 0.23 * T, 52, 0.07 * T, 0, 0);
    head.closeSubpath();
    {
        p.save();
        p.setClipPath(head, Qt::IntersectClip);
        const QRectF area(0, -0.4 * T, 200, 0.8 * T);
        // A paler wash of the ink under the bands keeps the head solid.
        fillRounded(p, area, 0, toColor(lightened(ink, 0.45)));
        QLinearGradient bands(0, -0.33 * T, 0, 0.33 * T);
        const std::array opacities{0.55, 0.0, 0.45, 0.0, 0.6};
        for (std::size_t i = 0; i < opacities.size(); ++i)
            bands.setColorAt(double(i) / double(opacities.size() - 1), toColor(ink, opacities[i]));
        fillRounded(p, area, 0, bands);
        p.restore();
    }

    {
        p.save();
        p.setOpacity(p.opacity() * 0.55);
        p.setPen(QPen(toColor(shifted(ink, -0.2)), 0.038 * T, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        const std::array<std::pair<double, double>, 4> hairs{
            {{-0.17, -0.02}, {-0.06, -0.008}, {0.06, 0.014}, {0.17, 0.028}}};
        QPainterPath strands;
        for (const auto& [from, to] : hairs) {
            strands.moveTo(178, from * T);
            strands.quadTo(96, 0.6 * from * T, 24, to * T);
        }
        p.drawPath(strands);
        p.restore();
    }

    metalPart(b, QRectF(958, -0.62 * T, 42, 1.24 * T), 0.18 * T);
    topEdgeLine(b, 958 + 0.18 * T, 1000 - 0.18 * T, -0.62 * T);
}

void paintHighlighter(const Body& b) {
    QPainter& p = b.p;
    const double T = b.T;
    const RGB& ink = b.in.ink;

    barrel(b, 84, 812, 0.22 * T);
    fillRounded(p, QRectF(148, -0.31 * T, 690, 0.21 * T), 0.1 * T, white(0.45));

    fillRounded(p, QRectF(58, -0.42 * T, 62, 0.84 * T), 0.16 * T,
                cylinderShading(-0.42 * T, 0.42 * T, ink, ink));

    fillPolygon(p,
                std::array{QPointF(2, -0.3 * T), QPointF(76, -0.4 * T), QPointF(76, 0.4 * T),
                           QPointF(2, 0.05 * T)},
                toColor(ink));
    fillPolygon(p,
                std::array{QPointF(2, -0.3 * T), QPointF(76, -0.4 * T), QPointF(76, -0.08 * T),
                           QPointF(2, -0.14 * T)},
                toColor(lightened(ink, 0.34)));
    // The worn front of the bevel catches the most light.
    fillPolygon(p,
                std::array{QPointF(2, -0.3 * T), QPointF(20, -0.32 * T), QPointF(22, -0.124 * T),
                           QPointF(2, -0.14 * T)},
                toColor(lightened(ink, 0.6)));

    fillRounded(p, QRectF(890, -0.62 * T, 110, 1.24 * T), 0.26 * T,
                cylinderShading(-0.62 * T, 0.62 * T, ink, ink));
    fillRounded(p, QRectF(906, -0.46 * T, 78, 0.2 * T), 0.1 * T, white(0.45));
}

void paintMechanical(const Body& b) {
    QPainter& p = b.p;
    const double T = b.T;
    const RGB metal = b.metal();

    barrel(b, 196, 748, 0.24 * T);
    reflection(b, 360, 900, 2, 0.45);

    fillPolygon(p,
                std::array{QPointF(76, -0.075 * T), QPointF(208, -0.4 * T), QPointF(208, 0.4 * T),
                           QPointF(76, 0.075 * T)},
                metalShading(-0.4 * T, 0.4 * T, metal));
    hairline(b, 96, 200, -0.16 * T, white(0.45));

    metalPart(b, QRectF(26, -0.055 * T, 56, 0.11 * T), 0.02 * T);
    hairline(b, 30, 78, -0.036 * T, white(0.55));

    fillRounded(p, QRectF(0, -0.032 * T, 32, 0.064 * T), 0.03 * T, QColor(0x4A, 0x45, 0x48));
    hairline(b, 4, 28, -0.018 * T, white(0.4));

    {
        // A knurled metal grip: two crossing sets of slanted grooves.
        const QRectF grip(200, -T / 2, 152, T);
        QPainterPath shape;
        shape.addRoundedRect(grip, 0.2 * T, 0.2 * T);
        p.save();
        p.setClipPath(shape, Qt::IntersectClip);
        fillRounded(p, QRectF(200, -0.6 * T, 152, 1.2 * T), 0,
                    metalShading(grip.top(), grip.bottom(), shifted(metal, -0.04)));
        constexpr std::size_t maxLines = 24;
        constexpr double pitch = 14;
        const double slant = 0.6 * T;
        std::array<QLineF, 2 * maxLines> grooves;
        std::size_t count = 0;
        for (double x = 200; x < 352 + slant && count < grooves.size(); x += pitch) {
            grooves[count++] = QLineF(x, -0.6 * T, x - slant, 0.6 * T);
            grooves[count++] = QLineF(x - slant, -0.6 * T, x, 0.6 * T);
        }
        p.setPen(QPen(toColor(shifted(metal, -0.35), 0.3), 0.035 * T, Qt::SolidLine, Qt::FlatCap));
        p.drawLines(grooves.data(), int(count));
        p.restore();
    }

    clip(b, 842, 108);

    const RGB eraser{246, 195, 211}; // #F6C3D3
    fillRounded(
        p, QRectF(964, -0.26 * T, 36, 0.52 * T), 0.14 * T,
        partShading(-0.26 * T, 0.26 * T, lightened(eraser, 0.3), eraser, shifted(eraser, -0.12)));
    metalPart(b, QRectF(928, -0.56 * T, 48, 1.12 * T), 0.18 * T);
    topEdgeLine(b, 936, 970, -0.56 * T);
}

QPainterPath roundedRect(double x, double y, double width, double height, double radius) {
    QPainterPath path;
    path.addRoundedRect(QRectF(x, y, width, height), radius, radius);
    return path;
}

} // namespace

RGB inkColour(QStringView inkId) {
    return rgbFromHex(isInkColour(inkId) ? inkId : QStringView(inkColours().first()));
}

BodyInput makeBodyInput(PenType type, const std::optional<BarrelSpec>& barrelSpec,
                        QStringView inkId, bool dark, double pixelScale) {
    BodyInput input;
    input.thick = penTypeSpec(type).thick;
    input.palette = penPalette(dark);
    input.top = barrelSpec ? barrelSpec->top : input.palette[paletteEntry::barrelTop];
    input.bottom = barrelSpec ? barrelSpec->bottom : input.palette[paletteEntry::barrelBottom];
    input.ink = inkColour(inkId);
    input.pixelScale = pixelScale;
    input.dark = dark;
    return input;
}

QLinearGradient barrelShading(double thick, const RGB& top, const RGB& bottom) {
    return cylinderShading(-thick / 2, thick / 2, top, bottom);
}

QPainterPath bodyOutline(PenType type, double T) {
    QPainterPath outline;
    auto tip = [&](std::initializer_list<QPointF> points) {
        QPolygonF polygon(points);
        polygon << polygon.first();
        outline.addPolygon(polygon);
    };
    // y, heights and radii are in units of T.
    auto part = [&](double x, double y, double width, double height, double radius) {
        outline = outline.united(roundedRect(x, y * T, width, height * T, radius * T));
    };

    switch (type) {
    case PenType::ballpoint:
        tip({{14, -0.05 * T}, {148, -0.3 * T}, {148, 0.3 * T}, {14, 0.05 * T}});
        part(120, -0.5, 838, 1, 0.3);
        part(138, -0.52, 152, 1.04, 0.26);
        part(856, -0.88, 116, 0.26, 0.13);
        part(938, -0.56, 46, 1.12, 0.2);
        part(976, -0.34, 24, 0.68, 0.16);
        break;
    case PenType::gel:
        tip({{48, -0.05 * T}, {126, -0.26 * T}, {126, 0.26 * T}, {48, 0.05 * T}});
        part(96, -0.5, 862, 1, 0.26);
        part(958, -0.62, 42, 1.24, 0.18);
        break;
    case PenType::fountain:
        tip({{6, 0}, {164, -0.32 * T}, {164, 0.32 * T}});
        part(148, -0.46, 48, 0.92, 0.16);
        part(176, -0.5, 700, 1, 0.22);
        part(852, -0.58, 148, 1.16, 0.24);
        part(890, -0.88, 96, 0.26, 0.13);
        break;
    case PenType::brush:
        tip({{4, 0}, {190, -0.31 * T}, {190, 0.31 * T}});
        part(164, -0.44, 64, 0.88, 0.14);
        part(196, -0.5, 762, 1, 0.24);
        part(958, -0.62, 42, 1.24, 0.18);
        break;
    case PenType::highlighter:
        tip({{2, -0.3 * T}, {76, -0.4 * T}, {76, 0.4 * T}, {2, 0.05 * T}});
        part(58, -0.42, 62, 0.84, 0.16);
        part(84, -0.5, 812, 1, 0.22);
        part(890, -0.62, 110, 1.24, 0.26);
        break;
    case PenType::mechanical:
        tip({{76, -0.075 * T}, {208, -0.4 * T}, {208, 0.4 * T}, {76, 0.075 * T}});
        part(26, -0.055, 56, 0.11, 0);
        part(196, -0.5, 748, 1, 0.24);
        part(842, -0.88, 108, 0.26, 0.13);
        part(928, -0.56, 72, 1.12, 0.18);
        break;
    case PenType::pencil:
        tip({{0, 0}, {92, -0.5 * T}, {92, 0.5 * T}});
        part(90, -0.5, 868, 1, 0);
        part(958, -0.62, 42, 1.24, 0.18);
        break;
    }
    return outline;
}

void drawBody(QPainter& painter, PenType type, const BodyInput& input) {
    const double T = input.thick;
    if (!std::isfinite(T) || T <= 0)
        return;
    const double pixelScale =
        std::isfinite(input.pixelScale) && input.pixelScale > 0 ? input.pixelScale : 1;
    const Body body{painter, input, T, pixelScale, 1 / pixelScale};

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    switch (type) {
    case PenType::pencil:
        paintPencil(body);
        break;
    case PenType::ballpoint:
        paintBallpoint(body);
        break;
    case PenType::gel:
        paintGel(body);
        break;
    case PenType::fountain:
        paintFountain(body);
        break;
    case PenType::brush:
        paintBrush(body);
        break;
    case PenType::highlighter:
        paintHighlighter(body);
        break;
    case PenType::mechanical:
        paintMechanical(body);
        break;
    }
    painter.restore();
}

} // namespace tessaro
