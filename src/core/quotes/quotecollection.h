#pragma once

#include "quote.h"

namespace tessaro {

// The collection rules. Every write of a quote collection goes through
// `normalizeQuotes`: cleaned, no duplicate ids or texts, newest first, at most 500.
QList<Quote> normalizeQuotes(const QList<Quote>& quotes);

// The collection after adding one new quote dated `now`, or none when the
// text cleans to nothing or duplicates one of the 100 newest quotes.
std::optional<QList<Quote>> addQuote(const QList<Quote>& collection, const QString& text,
                                     const QString& source, const std::optional<QString>& url,
                                     Date now);

struct QuoteImport {
    int added = 0;
    // The new collection; none when nothing changed.
    std::optional<QList<Quote>> collection;
};

// Merges imported quotes into the collection; existing quotes win over
// imported duplicates.
QuoteImport importQuotes(const QList<Quote>& collection, const QList<Quote>& incoming);

} // namespace tessaro
