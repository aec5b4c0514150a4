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

} // namespace tessaro::bench
