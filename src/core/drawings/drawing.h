#pragma once

#include "model/catalog.h"
#include "model/date.h"
#include "model/json.h"

#include <QByteArray>
#include <QSizeF>

#include <optional>

namespace tessaro {

inline constexpr qsizetype maxDrawingID = 40;
inline constexpr qsizetype maxThumbnailBytes = 40960;
inline constexpr double defaultPageWidth = 1000;
inline constexpr double defaultPageHeight = 1400;

// The record of one drawing page; its strokes live in a file named by `id`.
struct Drawing {
    QString id;
    Date createdAt = 0;
    Date updatedAt = 0;
    QString penType = defaultPenType;
    QString ink = defaultInk;
    QSizeF pageSize{defaultPageWidth, defaultPageHeight};
    std::optional<QByteArray> thumbnailPNG;

    friend bool operator==(const Drawing&, const Drawing&) = default;

    void writeJson(JsonWriter& writer) const;
    // All keys but "thumbnailPNG" are required. A thumbnail that is not a
    // base64 string is no thumbnail, and sets `dropped`.
    static std::optional<Drawing> fromJson(const JsonValue& value, bool* dropped = nullptr);
};

// True when `id` may name a drawing and its page file: 1 to 40 letters,
// digits, "-" or "_".
bool isValidDrawingID(QStringView id);

// The cleaned record, or none when no usable id is left.
std::optional<Drawing> sanitizedDrawing(const Drawing& drawing);

// Cleaned records, one per id (the later `updatedAt` wins), newest first.
QList<Drawing> normalizeDrawings(const QList<Drawing>& drawings);

} // namespace tessaro
