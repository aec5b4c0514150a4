#pragma once

#include "quote.h"

namespace tessaro {

// Reads quotes from an import file's text: JSON (a list of quote objects, or
// an object with a "quotes" list) or plain text in the export format or
// written loosely. Quotes without a date of their own are dated `now` minus
// their position in seconds, so the file order survives the newest-first sort.
// Safe to run away from the main thread.
QList<Quote> parseQuotesImport(const QString& text, Date now);

} // namespace tessaro
