#pragma once

#include "drawings/drawing.h"
#include "model/pen.h"
#include "quotes/quote.h"

#include <QStringList>

namespace tessaro {

class Preferences;

// What the widget program shows: the pen, a few quotes and the latest
// drawing, in the group preferences under "tessaro.widget.snapshot".
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
    // Tolerant, key by key, for the readers of the snapshot.
    static PenSnapshot fromJson(QByteArrayView bytes);
};

inline constexpr int snapshotQuotes = 3;
inline constexpr qsizetype snapshotQuoteLength = 160;

PenSnapshot makeSnapshot(const Pen& pen, const QList<Quote>& quotes, const Drawing* drawing);
void writeSnapshot(Preferences& group, const Pen& pen, const QList<Quote>& quotes,
                   const Drawing* drawing);
void writeSnapshot(Preferences& group, const PenSnapshot& snapshot);

} // namespace tessaro
