#pragma once

#include "quote.h"
#include "textset.h"

namespace tessaro {

// The collection rules. Every write of a quote collection goes through
// `normalizeQuotes`: cleaned, no duplicate ids or texts, newest first, at most 500.
QList<Quote> normalizeQuotes(const QList<Quote>& quotes);

// `normalizeQuotes` of a list given one quote at a time, holding only what the
// result can still need: the ids and keys seen so far and the newest quotes.
// The import readers feed it as they read, so that a file of many quotes
// never exists as a list of them.
class QuoteCollector {
public:
    // The next quote of the list. One without an id gets a fresh id only when
    // it is in the result.
    void add(const Quote& quote);
    // How many quotes were kept so far, before the cut to the newest 500.
    qsizetype kept() const { return m_kept; }
    QList<Quote> result();

private:
    void keepNewest();

    TextSet m_ids;
    TextSet m_keys;
    QList<Quote> m_newest;
    qsizetype m_kept = 0;
};

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
