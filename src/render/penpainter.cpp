#include "penpainter.h"

#include "model/pen.h"
#include "render/beadpainter.h"
#include "render/bodypainter.h"
#include "render/paintcolour.h"
#include "render/penlayout.h"
#include "render/shadowlayer.h"
#include "render/spritecache.h"

#include <QLinearGradient>
#include <QPaintDevice>
#include <QPainter>
#include <QRadialGradient>

#include <cmath>
#include <numbers>

namespace tessaro {

namespace {

// Below these sizes in device pixels a shadow or mark would not read. The
// pen's shadows go once the barrel's shadow blur (0.09 of the thickness)
// would be under a pixel and a half.
constexpr double shadowPixels = 1.5;
constexpr double shadowBlurPerThick = 0.09;
constexpr double beadShadowBlurPerThick = 0.175;
// How far a bead's cast shade reaches along the barrel beyond the bead.
constexpr double castShadeSide = 7.08; // 0.12 · beadR
constexpr double beadShadowPixels = 4;
constexpr double contactMarkPixels = 10;

constexpr double previewOpacity = 0.38;
constexpr double ringWidth = 6;
const QColor ringColour(0xE2, 0x6A, 0x92);

// Shadows are tinted warm on the light background and black on the dark one.
QColor shadowColour(bool dark, double opacity) {
    return dark ? QColor::fromRgbF(0, 0, 0, float(opacity))
                : QColor::fromRgbF(90 / 255.0f, 60 / 255.0f, 50 / 255.0f, float(opacity));
}

void appendRgb(QByteArray& key, const RGB& colour) {
    appendKey(key, colour.r);
    appendKey(key, colour.g);
    appendKey(key, colour.b);
}

double degrees(double radians) {
    return radians * 180 / std::numbers::pi;
}

// One layer per thread, so its buffers are reused from picture to picture.
ShadowLayer& layer() {
    thread_local ShadowLayer shared;
    return shared;
}

void fillInLayer(QPainter& p, const QPainterPath& path, const QColor& colour, double blur,
                 QPointF offset = {}) {
    layer().draw(
        p, path.boundingRect(), [&](QPainter& q) { q.fillPath(path, colour); }, colour, blur,
        offset);
}

QPainterPath ellipse(QPointF centre, double rx, double ry) {
    QPainterPath path;
    path.addEllipse(centre, rx, ry);
    return path;
}

double contextPixelScale(const QPainter& p) {
    const QTransform& t = p.worldTransform();
    double scale = std::hypot(t.m11(), t.m12());
    if (!(scale > 0) || !std::isfinite(scale))
        scale = 1;
    const double ratio = p.device() ? p.device()->devicePixelRatio() : 0;
    return pixelScale(scale, ratio);
}

// The body's contact shadow along the barrel.
QPainterPath shadowBar(PenType type, double thick) {
    const auto [start, end] = barrelSpan(type);
    QPainterPath bar;
    bar.addRoundedRect(QRectF(start, 0.44 * thick, end - start, 0.16 * thick), 0.08 * thick,
                       0.08 * thick);
    return bar;
}

// Only what the bead's picture depends on, so that the same bead is shared
// between pen types and, where it does not turn with the pen, between
// angles.
QByteArray beadKey(const BeadSpec& bead, double r, double angle, double scale) {
    QByteArray key = "bead";
    appendKey(key, int(bead.shape));
    appendRgb(key, bead.rgb);
    appendRgb(key, bead.centre.value_or(RGB{-1, -1, -1}));
    for (const double value : {r, beadFollowsPenAngle(bead.shape) ? angle : 0.0, scale})
        appendKey(key, value);
    if (bead.letter)
        key.append(bead.letter->toUtf8());
    return key;
}

// Everything a bead draws stays within this square around its centre.
QRectF beadBounds(double r) {
    return QRectF(-1.5 * r, -1.5 * r, 3 * r, 3 * r);
}

void drawShadows(QPainter& p, const QList<ShadowBead>& placed, const DrawPenOptions& o,
                 double angle, double thick, double pixelScale) {
    const bool dark = o.dark;
    QPainterPath contacts;
    for (const ShadowBead& b : placed) {
        if (pixelScale * b.r < beadShadowPixels)
            continue;
        if (b.silhouette)
            contacts.addEllipse(QPointF(b.x, 0.86 * b.r), 0.5 * b.r, 0.16 * b.r);
        else
            contacts.addEllipse(QPointF(b.x, 0.92 * b.r), 0.85 * b.r, 0.16 * b.r);
    }
    contacts.setFillRule(Qt::WindingFill);
    if (!contacts.isEmpty())
        fillInLayer(p, contacts, shadowColour(dark, dark ? 0.275 : 0.22), 0.125 * beadR);

    // The offset is meant on screen, so the shadows of both kinds fall the
    // same way whatever the pen's angle.
    const QPointF screenOffset(0.04 * thick, 0.14 * thick);
    const QColor beadShadow = shadowColour(dark, dark ? 0.375 : 0.3);
    const double beadBlur = beadShadowBlurPerThick * thick;
    for (const ShadowBead& b : placed) {
        if (!b.silhouette || pixelScale * b.r < beadShadowPixels)
            continue;
        p.save();
        p.translate(b.x, b.y);
        p.rotate(-degrees(angle));
        fillInLayer(p, *b.silhouette, beadShadow, beadBlur, screenOffset);
        p.restore();
    }

    QPainterPath rounds;
    rounds.setFillRule(Qt::WindingFill);
    for (const ShadowBead& b : placed)
        if (!b.silhouette)
            rounds.addEllipse(QPointF(b.x, b.y), 0.98 * b.r, 0.98 * b.r);
    if (!rounds.isEmpty()) {
        const QPointF penOffset = QTransform().rotateRadians(-angle).map(screenOffset);
        fillInLayer(p, rounds, beadShadow, beadBlur, penOffset);
    }

    const QPainterPath bar = shadowBar(o.type, thick);
    fillInLayer(p, bar, shadowColour(dark, dark ? 0.25 : 0.2), shadowBlurPerThick * thick);
}

// The shade one bead casts on the barrel under it and beside it, around the
// bead's place on the axis. Only the barrel's band, from `left` to `right`
// along the axis, takes it.
void drawCastShade(QPainter& p, double r, double left, double right, bool dark, const RGB& lower,
                   double thick) {
    p.save();
    p.setClipRect(QRectF(left, -thick / 2, right - left, thick), Qt::IntersectClip);
    const RGB tint = dark ? RGB{0, 0, 0} : RGB{70, 45, 40};
    const double strength = dark ? 0.42 : 0.32;
    const double middle = dark ? 0.24 : 0.18;
    const RGB edge = shifted(lower, -0.1);
    p.save();
    p.translate(0, 3.54);
    p.scale(1, 0.42);
    const double radius = 1.15 * r;
    QRadialGradient shade(QPointF(), radius);
    shade.setColorAt(0, toColor(tint, strength));
    shade.setColorAt(0.55, toColor(tint, middle));
    shade.setColorAt(1, toColor(tint, 0));
    p.fillPath(ellipse({}, radius, radius), shade);
    p.restore();
    for (const double side : {-1.0, 1.0}) {
        const double from = side * r;
        const double to = from + side * castShadeSide;
        QLinearGradient band(from, 0, to, 0);
        band.setColorAt(0, toColor(edge, 0.35));
        band.setColorAt(1, toColor(edge, 0));
        p.fillRect(
            QRectF(QPointF(std::min(from, to), -thick / 2), QPointF(std::max(from, to), thick / 2)),
            band);
    }
    p.restore();
}

void addCastShades(std::vector<SpriteCache::Part>& parts, const QList<ShadowBead>& placed,
                   bool dark, const RGB& lower, double thick) {
    for (const ShadowBead& b : placed) {
        const double reach = std::max(1.15 * b.r, b.r + castShadeSide);
        // The barrel's ends clip the shade only where it reaches them.
        const double left = std::max(-2 - b.x, -reach);
        const double right = std::min(penLength + 2 - b.x, reach);
        if (!(left < right))
            continue;
        QByteArray key = "cast-shade";
        for (const double value : {b.r, left, right, thick, double(dark)})
            appendKey(key, value);
        appendRgb(key, lower);
        const double r = b.r;
        parts.push_back({std::move(key), QRectF(left, -thick / 2, right - left, thick),
                         QTransform::fromTranslate(b.x, 0), [=](QPainter& q) {
                             drawCastShade(q, r, left, right, dark, lower, thick);
                         }});
    }
}

bool roundBodied(BeadShape shape) {
    switch (shape) {
    case BeadShape::round:
    case BeadShape::pearl:
    case BeadShape::jelly:
    case BeadShape::letter:
    case BeadShape::rhine:
    case BeadShape::smile:
    case BeadShape::sprinkle:
        return true;
    default:
        return false;
    }
}

// The dark pinch where two touching beads meet, across the axis.
void drawContactMark(QPainter& p, const QColor& colour) {
    QRadialGradient mark(QPointF(), 1);
    mark.setColorAt(0, colour);
    mark.setColorAt(1, Qt::transparent);
    p.save();
    p.scale(0.1 * beadR, 0.45 * beadR);
    p.fillPath(ellipse({}, 1, 1), mark);
    p.restore();
}

} // namespace

QList<ShadowBead> placeBeads(const QList<BeadSpec>& beads, std::optional<int> gap) {
    QList<ShadowBead> placed;
    placed.reserve(beads.size());
    for (int i = 0; i < int(beads.size()); ++i)
        placed.append({slotCentre(i, gap), 0, beadR, beadSilhouette(beads[i].shape, silhouetteR)});
    return placed;
}

void drawPen(QPainter& p, const DrawPenOptions& opts) {
    double scale = opts.deriveScaleFromContext ? contextPixelScale(p) : opts.pixelScale;
    if (!(scale > 0) || !std::isfinite(scale))
        scale = 1;
    const double angle = std::isfinite(opts.angle) ? opts.angle : 0;

    const BodyInput body = makeBodyInput(opts.type, opts.barrel, opts.ink, opts.dark, scale);
    const double thick = body.thick;
    const int count = int(opts.beads.size());
    const std::optional<int> gap =
        opts.preview ? dropGap(count, opts.preview->targetSlot) : std::nullopt;
    const QList<ShadowBead> placed = placeBeads(opts.beads, gap);
    const bool shadows = !opts.skipShadows && scale * thick * shadowBlurPerThick >= shadowPixels;

    // Everything up to the beads and their contact marks, in painting order.
    // Each part's transform is relative to the painter's.
    std::vector<SpriteCache::Part> parts;
    parts.reserve(std::size_t(3 * count + 2));
    if (shadows) {
        QByteArray key = "shadows";
        for (const double value : {double(opts.dark), angle, thick, scale})
            appendKey(key, value);
        appendKey(key, int(opts.type));
        QRectF bounds = shadowBar(opts.type, thick).boundingRect();
        for (int i = 0; i < count; ++i) {
            const ShadowBead& b = placed[i];
            for (const double value : {b.x, b.y, b.r})
                appendKey(key, value);
            appendKey(key, int(opts.beads[i].shape));
            bounds |= QRectF(b.x - b.r, b.y - b.r, 2 * b.r, 2 * b.r);
        }
        // Wide enough for the widest blur and the offset of the shadows.
        const double reach = 4 * beadShadowBlurPerThick * thick + 0.2 * thick;
        bounds.adjust(-reach, -reach, reach, reach);
        parts.push_back({std::move(key), bounds, QTransform(),
                         [&](QPainter& q) { drawShadows(q, placed, opts, angle, thick, scale); }});
    }
    {
        QByteArray key = "body";
        appendKey(key, int(opts.type));
        for (const RGB& colour : {body.top, body.bottom, body.ink})
            appendRgb(key, colour);
        for (const double value : {double(opts.dark), thick, scale})
            appendKey(key, value);
        parts.push_back({std::move(key), QRectF(-8, -thick, penLength + 16, 2 * thick),
                         QTransform(), [&](QPainter& q) { drawBody(q, opts.type, body); }});
    }
    addCastShades(parts, placed, opts.dark, body.bottom, thick);

    const double angleDegrees = degrees(angle);
    const QColor markColour = shadowColour(opts.dark, opts.dark ? 0.25 : 0.2);
    const bool marks = shadows && slotPitch * scale >= contactMarkPixels;
    for (int i = 0; i < count; ++i) {
        const ShadowBead& b = placed[i];
        const BeadSpec& bead = opts.beads[i];
        parts.push_back(
            {beadKey(bead, b.r, angle, scale), beadBounds(b.r),
             QTransform().translate(b.x, b.y).rotate(-angleDegrees),
             [&bead, r = b.r, angle, scale](QPainter& q) { drawBead(q, bead, r, angle, scale); }});
        const bool touching = i > 0 && b.x - placed[i - 1].x <= slotPitch;
        if (marks && touching && roundBodied(bead.shape)) {
            QByteArray key = "contact-mark";
            appendKey(key, markColour.rgba());
            parts.push_back({std::move(key),
                             QRectF(-0.1 * beadR, -0.45 * beadR, 0.2 * beadR, 0.9 * beadR),
                             QTransform::fromTranslate(b.x - b.r, 0),
                             [markColour](QPainter& q) { drawContactMark(q, markColour); }});
        }
    }

    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    SpriteCache& cache = SpriteCache::forThisThread();
    if (opts.cacheParts)
        cache.prepare(p, parts);
    for (const SpriteCache::Part& part : parts) {
        if (opts.cacheParts) {
            cache.draw(p, part);
            continue;
        }
        p.save();
        p.setTransform(part.transform, true);
        part.paint(p);
        p.restore();
    }

    if (opts.selected && *opts.selected >= 0 && *opts.selected < count) {
        p.setPen(QPen(ringColour, ringWidth, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(placed[*opts.selected].x, 0), catchRadius, catchRadius);
        p.setPen(Qt::NoPen);
    }

    if (gap) {
        p.setOpacity(p.opacity() * previewOpacity);
        p.translate(slotCentre(*gap), 0);
        p.rotate(-angleDegrees);
        drawBead(p, opts.preview->bead, beadR, angle, scale);
    }
    p.restore();
}

void paintPenArtwork(QPainter& p, QSizeF size, const Pen& pen, bool dark,
                     std::optional<double> angle, bool showCharm, double devicePixelRatio,
                     const CharmPaint& charm) {
    if (!(size.width() > 0 && size.height() > 0))
        return;
    const PenLayout layout = fitArtwork(size.width(), size.height(), angle, showCharm);
    DrawPenOptions o;
    o.beads = pen.beadSpecs();
    o.dark = dark;
    if (const BarrelSpec* barrel = barrelById(pen.barrel))
        o.barrel = *barrel;
    o.type = penTypeFor(pen.type).type;
    o.ink = pen.ink;
    o.angle = layout.angle;
    o.pixelScale = pixelScale(layout.scale, devicePixelRatio);
    p.save();
    layout.apply(p);
    drawPen(p, o);
    p.restore();
    if (showCharm && charm)
        charm(p, charmAnchor(layout), layout.scale, pen.charm, dark);
}

void paintPenTypeThumb(QPainter& p, QSizeF size, PenType type, QStringView barrel, QStringView ink,
                       bool dark, double devicePixelRatio) {
    if (!(size.width() > 0 && size.height() > 0))
        return;
    const PenLayout layout = thumbLayout(size.width(), size.height());
    DrawPenOptions o;
    o.dark = dark;
    if (const BarrelSpec* known = barrelById(barrel))
        o.barrel = *known;
    o.type = type;
    o.ink = ink.toString();
    o.pixelScale = pixelScale(layout.scale, devicePixelRatio);
    p.save();
    layout.apply(p);
    drawPen(p, o);
    p.restore();
}

void paintBeadIcon(QPainter& p, QSizeF size, const BeadSpec& bead, double devicePixelRatio) {
    if (!(size.width() > 0 && size.height() > 0))
        return;
    p.save();
    p.translate(size.width() / 2, size.height() / 2);
    const double r = 0.46 * std::min(size.width(), size.height());
    const double scale = pixelScale(1, devicePixelRatio);
    // The tray shows the same icons again and again as it scrolls.
    SpriteCache::forThisThread().draw(p, beadKey(bead, r, 0, scale), beadBounds(r),
                                      [&](QPainter& q) { drawBead(q, bead, r, 0, scale); });
    p.restore();
}

} // namespace tessaro
