// Widget snapshots: any bytes read as a snapshot within its limits, and what
// is read is written and read back unchanged.
#include "model/pensnapshot.h"
#include "model/text.h"

#include <cstdint>
#include <cstdlib>

using namespace tessaro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const PenSnapshot snapshot = PenSnapshot::fromJson(QByteArrayView(data, qsizetype(size)));
    if (snapshot.quotes.size() > snapshotQuotes ||
        (snapshot.drawingPNG && snapshot.drawingPNG->size() > snapshotDrawingBytes))
        std::abort();
    for (const QString& quote : snapshot.quotes)
        if (graphemeCount(quote) > snapshotQuoteLength)
            std::abort();
    if (snapshot.pen().beads.size() > maxBeadsPerPen)
        std::abort();
    const QByteArray written = snapshot.toJson();
    // Text repaired on reading can grow past the size a snapshot is read at.
    if (written.size() > maxSnapshotBytes)
        return 0;
    if (!(PenSnapshot::fromJson(written) == snapshot))
        std::abort();
    return 0;
}
