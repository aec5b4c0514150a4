#pragma once

#include "pen.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>

#include <optional>

namespace tessaro {

// The group preferences key the snapshot is kept under.
inline const QString snapshotKey = QStringLiteral("tessaro.widget.snapshot");
inline constexpr int snapshotQuotes = 3;
inline constexpr qsizetype snapshotQuoteLength = 160;
// The largest drawing thumbnail a snapshot carries.
inline constexpr qsizetype snapshotDrawingBytes = 40960;
// Several times the largest snapshot the program writes (a full thumbnail in
// base64 and three quotes); anything bigger is damage, not a snapshot.
inline constexpr qsizetype maxSnapshotBytes = 256 * 1024;

// What the widget program shows: the pen, a few quotes and the latest
// drawing. The program writes it; the widget only reads it.
struct PenSnapshot {
    QStringList beads;
    QString barrel = defaultBarrel;
    QString charm = defaultCharm;
    QString type = defaultPenType;
    QString ink = defaultInk;
    QStringList quotes;
    std::optional<QByteArray> drawingPNG;

    friend bool operator==(const PenSnapshot&, const PenSnapshot&) = default;

    QByteArray toJson() const;
    // Tolerant, key by key: a missing or wrong-typed key takes its default, a
    // list decodes as a whole. Quotes beyond the snapshot's limits are cut to
    // them; a drawing that is not base64 or is over the limit is absent.
    // Bytes that are not a JSON object, or more than maxSnapshotBytes, give
    // the default snapshot.
    static PenSnapshot fromJson(QByteArrayView bytes);

    // The pen to draw, repaired like any pen from outside.
    Pen pen() const;
};

} // namespace tessaro
