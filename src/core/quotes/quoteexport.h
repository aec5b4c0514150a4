#pragma once

#include "quote.h"

namespace tessaro {

// The name offered when the collection is exported.
inline const QString exportFileName = QStringLiteral("tessaro-quotes.txt");

// The collection as the text of an export file: one block per quote, the
// attribution line carrying source, link and date, blocks separated by a
// line of 40 hyphens. `languageCode` chooses the date format (empty: system).
QString exportText(const QList<Quote>& quotes, const QString& languageCode);

// Whether `text` is a date as the export writes it in one of the languages
// (or the system's), so that a reader can tell the export's own attribution
// line from one written by hand. Slow-ish: it asks each language in turn.
bool readsAsExportDate(QStringView text);

} // namespace tessaro
