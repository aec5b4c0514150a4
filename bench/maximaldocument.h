#pragma once

#include "store/appstate.h"

namespace tessaro::bench {

// The largest document the program keeps: 500 quotes of 500 characters with
// sources and links, 40 saved pens, 200 drawings with 40,960-byte thumbnails
// and 1,000 tombstones. `variant` changes the ids and dates of half the items.
AppState maximalDocument(int variant = 0);

// A plain-text import file of `count` quotes, padded to `bytes`.
QString plainTextImport(int count, qsizetype bytes);
// A JSON import file of quotes, about `bytes` long.
QString jsonImport(qsizetype bytes);

// An import file of many tiny distinct quotes, `bytes` long: the worst case
// for memory per byte of file. Plain text, or a JSON list when `json`.
QByteArray tinyQuotesImport(qsizetype bytes, bool json);

// The maximal document with `count` recent tombstones whose keys look like
// quote ids.
AppState tombstoneDocument(int count);

// Runs this program again with `arguments`, a helper mode that does one piece
// of work and ends with `reportPeakRss`, and returns the child's peak resident
// set in bytes (-1 when it could not be run or failed). Memory goals are
// checked this way: a process of its own has nothing else in its peak.
qint64 childPeakRss(const QStringList& arguments);
// Writes this process's peak resident set to standard output; the exit code.
int reportPeakRss();

} // namespace tessaro::bench
