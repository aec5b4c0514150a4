#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QColor>
#include <QSizeF>
#include <QString>

#include <optional>
#include <vector>

namespace tessaro {

// The bounds of a stroke page. Pages come from other machines, so every
// count is bounded; a page beyond any of them is not read at all.
inline constexpr int maxPageStrokes = 20000;
inline constexpr int maxStrokePoints = 20000;
inline constexpr int maxPagePoints = 400000;
// Points farther out than this lie on no page.
inline constexpr double maxPageCoordinate = 1e6;
inline constexpr double minStrokeWidth = 0.1;
inline constexpr double maxStrokeWidth = 200;

// One sample of a stroke, in page points; pressure from 0 to 1.
struct StrokePoint {
    float x = 0;
    float y = 0;
    float pressure = 1;

    friend bool operator==(const StrokePoint&, const StrokePoint&) = default;
};

// One stroke of a page: the tool that drew it (a pen type id), its ink, its
// nominal width in points and its samples in drawing order.
struct PageStroke {
    QString tool = QStringLiteral("pencil");
    QColor ink = QColor(0x2B, 0x21, 0x1C);
    double width = 2;
    std::vector<StrokePoint> points;

    friend bool operator==(const PageStroke&, const PageStroke&) = default;
};

// A page in Tessaro's own stroke format (docs/page-format.md).
struct StrokePage {
    // The size the page was drawn at, when the file says.
    std::optional<QSizeF> size;
    std::vector<PageStroke> strokes;

    friend bool operator==(const StrokePage&, const StrokePage&) = default;
};

inline constexpr int strokePageVersion = 1;

// True when the bytes begin like a stroke page: a JSON object.
bool looksLikeStrokePage(QByteArrayView bytes);

// Reads a stroke page; none when the bytes are not one, are of a version this
// reader does not know, or exceed a bound. Read as it streams, so a hostile
// file never costs more memory than the bounds allow.
std::optional<StrokePage> parseStrokePage(QByteArrayView bytes);

// The page as the format writes it.
QByteArray strokePageJson(const StrokePage& page);

} // namespace tessaro
