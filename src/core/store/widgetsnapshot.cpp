#include "widgetsnapshot.h"

#include "model/text.h"
#include "platform/preferences.h"

namespace tessaro {

// A drawing's thumbnail either goes into the snapshot whole or not at all.
static_assert(snapshotDrawingBytes == maxThumbnailBytes);

PenSnapshot makeSnapshot(const Pen& pen, const QList<Quote>& quotes, const Drawing* drawing) {
    PenSnapshot snapshot;
    snapshot.beads = pen.beads;
    snapshot.barrel = pen.barrel;
    snapshot.charm = pen.charm;
    snapshot.type = penTypeById(pen.type) ? pen.type : defaultPenType;
    snapshot.ink = isInkColour(pen.ink) ? pen.ink : defaultInk;
    for (qsizetype i = 0; i < std::min<qsizetype>(snapshotQuotes, quotes.size()); ++i)
        snapshot.quotes.append(firstGraphemes(quotes[i].text, snapshotQuoteLength));
    if (drawing && drawing->thumbnailPNG && drawing->thumbnailPNG->size() <= snapshotDrawingBytes)
        snapshot.drawingPNG = drawing->thumbnailPNG;
    return snapshot;
}

void writeSnapshot(Preferences& group, const Pen& pen, const QList<Quote>& quotes,
                   const Drawing* drawing) {
    writeSnapshot(group, makeSnapshot(pen, quotes, drawing));
}

void writeSnapshot(Preferences& group, const PenSnapshot& snapshot) {
    if (group.isAvailable())
        group.setValue(snapshotKey, snapshot.toJson());
}

} // namespace tessaro
