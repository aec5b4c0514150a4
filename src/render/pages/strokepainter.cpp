#include "strokepainter.h"

#include <QPainter>

#include <cmath>
#include <numbers>

namespace tessaro {

namespace {

using namespace Qt::StringLiterals;

// Samples closer than this (device pixels) add nothing the eye can see.
constexpr double sampleSpacingPx = 0.6;
// How far a followed curve may stray from the true one (device pixels).
constexpr double curveTolerancePx = 0.25;
// The thinnest line drawn, so that a light touch still shows.
constexpr double minWidthPx = 0.6;
// The most pieces one segment between samples is cut into.
constexpr int maxCurvePieces = 48;
// Turns gentler than 0.35 radians are joined by one averaged offset point.
const double cosGentleTurn = std::cos(0.35);

struct Centre {
    double x;
    double y;
    double r;
};

struct Vec {
    double x;
    double y;
};

void appendArc(std::vector<QPointF>& out, const Centre& c, double from, double sweep,
               double pixelsPerPoint) {
    const double radiusPx = c.r * pixelsPerPoint;
    double step = std::numbers::pi / 2;
    if (radiusPx > curveTolerancePx)
        step = 2 * std::acos(1 - curveTolerancePx / radiusPx);
    const int steps = std::clamp(int(std::ceil(std::abs(sweep) / step)), 1, 32);
    for (int i = 0; i <= steps; ++i) {
        const double angle = from + sweep * i / steps;
        out.emplace_back(c.x + c.r * std::cos(angle), c.y + c.r * std::sin(angle));
    }
}

// The samples that make a visible difference, each with its half width.
void centreline(const PageStroke& stroke, double pixelsPerPoint, std::vector<Centre>& out) {
    const ToolStyle style = toolStyle(stroke.tool);
    const double minRadius = minWidthPx / 2 / pixelsPerPoint;
    const double spacing = sampleSpacingPx / pixelsPerPoint;
    auto radius = [&](double pressure) {
        const double share = style.widthAtNoPressure + (1 - style.widthAtNoPressure) * pressure;
        return std::max(minRadius, stroke.width / 2 * share);
    };
    out.clear();
    for (const StrokePoint& point : stroke.points) {
        const Centre c{point.x, point.y, radius(point.pressure)};
        const double dx = c.x - (out.empty() ? 0 : out.back().x);
        const double dy = c.y - (out.empty() ? 0 : out.back().y);
        if (!out.empty() && dx * dx + dy * dy < spacing * spacing) {
            // The stroke still ends where its last sample lies.
            if (&point == &stroke.points.back() && out.size() > 1)
                out.back() = c;
            else
                out.back().r = std::max(out.back().r, c.r);
            continue;
        }
        out.push_back(c);
    }
}

// A Catmull-Rom curve through the samples: segments longer than a few pixels
// are followed in pieces, so that sparse samples still make round curves
// (through every sample: a sharp turn stays where it was drawn).
void smooth(std::vector<Centre>& points, std::vector<Centre>& scratch, double pixelsPerPoint) {
    if (points.size() < 3)
        return;
    scratch.clear();
    const std::size_t n = points.size();
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const Centre& p0 = points[i == 0 ? 0 : i - 1];
        const Centre& p1 = points[i];
        const Centre& p2 = points[i + 1];
        const Centre& p3 = points[std::min(n - 1, i + 2)];
        scratch.push_back(p1);
        // A piece of an arc of length L turning by θ strays L·θ / (8·n²)
        // from its chord when cut in n pieces; straight runs stay one piece.
        const double lengthPx = std::hypot(p2.x - p1.x, p2.y - p1.y) * pixelsPerPoint;
        const double t1x = p2.x - p0.x;
        const double t1y = p2.y - p0.y;
        const double t2x = p3.x - p1.x;
        const double t2y = p3.y - p1.y;
        const double turn = std::atan2(std::abs(t1x * t2y - t1y * t2x), t1x * t2x + t1y * t2y);
        const int pieces =
            std::clamp(int(std::ceil(std::sqrt(lengthPx * turn / (8 * curveTolerancePx)))), 1,
                       maxCurvePieces);
        for (int k = 1; k < pieces; ++k) {
            const double t = double(k) / pieces;
            const double t2 = t * t;
            const double t3 = t2 * t;
            const double a = -0.5 * t3 + t2 - 0.5 * t;
            const double b = 1.5 * t3 - 2.5 * t2 + 1;
            const double c = -1.5 * t3 + 2 * t2 + 0.5 * t;
            const double d = 0.5 * t3 - 0.5 * t2;
            scratch.push_back({a * p0.x + b * p1.x + c * p2.x + d * p3.x,
                               a * p0.y + b * p1.y + c * p2.y + d * p3.y,
                               p1.r + (p2.r - p1.r) * t});
        }
    }
    scratch.push_back(points.back());
    points.swap(scratch);
}

Vec direction(const Centre& a, const Centre& b) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double length = std::sqrt(dx * dx + dy * dy);
    if (length < 1e-12)
        return {1, 0};
    return {dx / length, dy / length};
}

} // namespace

ToolStyle toolStyle(QStringView tool) {
    if (tool == u"ballpoint"_s)
        return {1, 0.8};
    if (tool == u"gel"_s)
        return {1, 0.7};
    if (tool == u"fountain"_s)
        return {1, 0.3};
    if (tool == u"brush"_s)
        return {1, 0.12};
    if (tool == u"highlighter"_s)
        return {0.35, 1};
    if (tool == u"mechanical"_s)
        return {1, 0.85};
    return {1, 0.45};
}

void strokeOutline(const PageStroke& stroke, double pixelsPerPoint, std::vector<QPointF>& outline) {
    thread_local std::vector<Centre> points;
    thread_local std::vector<Centre> scratch;
    thread_local std::vector<QPointF> right;
    outline.clear();
    if (stroke.points.empty() || !(pixelsPerPoint > 0))
        return;
    centreline(stroke, pixelsPerPoint, points);
    if (points.size() == 1) {
        appendArc(outline, points.front(), 0, 2 * std::numbers::pi, pixelsPerPoint);
        return;
    }
    smooth(points, scratch, pixelsPerPoint);

    const std::size_t n = points.size();
    right.clear();
    Vec previous = direction(points[0], points[1]);
    const Vec first = previous;
    outline.emplace_back(points[0].x - previous.y * points[0].r, points[0].y + previous.x * points[0].r);
    right.emplace_back(points[0].x + previous.y * points[0].r, points[0].y - previous.x * points[0].r);
    for (std::size_t i = 1; i + 1 < n; ++i) {
        const Centre& c = points[i];
        const Vec next = direction(c, points[i + 1]);
        const double cross = previous.x * next.y - previous.y * next.x;
        const double dot = previous.x * next.x + previous.y * next.y;
        // Normals point to the left of the direction of travel: (-dy, dx).
        const Vec before{-previous.y, previous.x};
        const Vec after{-next.y, next.x};
        const bool gentle = dot > cosGentleTurn;
        const double turn = gentle ? 0 : std::atan2(cross, dot);
        if (gentle) {
            // The offset along the mean normal, as far out as the miter: the
            // mean normal is 2·cos(θ/2) long and the miter reaches r / cos(θ/2).
            const double mx = before.x + after.x;
            const double my = before.y + after.y;
            const double reach = 2 * c.r / (mx * mx + my * my);
            outline.emplace_back(c.x + mx * reach, c.y + my * reach);
            right.emplace_back(c.x - mx * reach, c.y - my * reach);
        } else if (cross > 0) {
            // Turning towards the left: the right side is outside and rounded.
            outline.emplace_back(c.x + before.x * c.r, c.y + before.y * c.r);
            outline.emplace_back(c.x + after.x * c.r, c.y + after.y * c.r);
            appendArc(right, c, std::atan2(-before.y, -before.x), turn, pixelsPerPoint);
        } else {
            appendArc(outline, c, std::atan2(before.y, before.x), turn, pixelsPerPoint);
            right.emplace_back(c.x - before.x * c.r, c.y - before.y * c.r);
            right.emplace_back(c.x - after.x * c.r, c.y - after.y * c.r);
        }
        previous = next;
    }
    const Centre& last = points[n - 1];
    // The round end: from the left side, around the front, to the right side.
    appendArc(outline, last, std::atan2(previous.x, -previous.y), -std::numbers::pi, pixelsPerPoint);
    outline.insert(outline.end(), right.rbegin(), right.rend());
    // The round start: from the right side, around the back, to the left.
    const Centre& start = points[0];
    appendArc(outline, start, std::atan2(-first.x, first.y), -std::numbers::pi, pixelsPerPoint);
}

void paintStrokes(QPainter& painter, const StrokePage& page, double pixelsPerPoint,
                  const QRectF& visible) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    std::vector<QPointF> outline;
    for (const PageStroke& stroke : page.strokes) {
        if (stroke.points.empty())
            continue;
        float left = stroke.points.front().x;
        float top = stroke.points.front().y;
        float right = left;
        float bottom = top;
        for (const StrokePoint& point : stroke.points) {
            left = std::min(left, point.x);
            right = std::max(right, point.x);
            top = std::min(top, point.y);
            bottom = std::max(bottom, point.y);
        }
        const double reach = stroke.width;
        if (!visible.intersects(QRectF(QPointF(left - reach, top - reach),
                                       QPointF(right + reach, bottom + reach))))
            continue;
        strokeOutline(stroke, pixelsPerPoint, outline);
        if (outline.size() < 3)
            continue;
        QColor ink = stroke.ink;
        ink.setAlphaF(float(ink.alphaF() * toolStyle(stroke.tool).opacity));
        painter.setBrush(ink);
        painter.drawPolygon(outline.data(), int(outline.size()), Qt::WindingFill);
    }
    painter.restore();
}

} // namespace tessaro
