#include "quotecollection.h"

#include <QSet>

#include <algorithm>
#include <utility>

namespace tessaro {

namespace {

// Duplicates of a new quote are looked for among this many newest quotes only.
constexpr qsizetype duplicateWindow = 100;

} // namespace

void QuoteCollector::add(const Quote& quote) {
    auto clean = quote.sanitizedWithoutNewID();
    if (!clean)
        return;
    // The first quote with an id wins, then the first with a text and link.
    if (!clean->id.isEmpty() && !m_ids.insert(clean->id))
        return;
    if (!m_keys.insert(dedupeKey(*clean)))
        return;
    ++m_kept;
    m_newest.append(std::move(*clean));
    if (m_newest.size() >= 2 * maxQuotes)
        keepNewest();
}

// A stable sort keeps quotes of equal dates in the order they came, so the
// newest 500 of those seen so far are also among the newest 500 at the end.
void QuoteCollector::keepNewest() {
    std::stable_sort(m_newest.begin(), m_newest.end(),
                     [](const Quote& a, const Quote& b) { return a.at > b.at; });
    if (m_newest.size() > maxQuotes)
        m_newest.resize(maxQuotes);
}

QList<Quote> QuoteCollector::result() {
    keepNewest();
    for (Quote& quote : m_newest) {
        if (!quote.id.isEmpty())
            continue;
        do
            quote.id = newID();
        while (!m_ids.insert(quote.id));
    }
    return std::exchange(m_newest, {});
}

QList<Quote> normalizeQuotes(const QList<Quote>& quotes) {
    QuoteCollector collector;
    for (const Quote& quote : quotes)
        collector.add(quote);
    return collector.result();
}

std::optional<QList<Quote>> addQuote(const QList<Quote>& collection, const QString& text,
                                     const QString& source, const std::optional<QString>& url,
                                     Date now) {
    const auto quote = Quote{newID(), text, source, url, now}.sanitized();
    if (!quote)
        return std::nullopt;
    const QString key = dedupeKey(*quote);
    const qsizetype window = std::min(collection.size(), duplicateWindow);
    for (qsizetype i = 0; i < window; ++i)
        if (dedupeKey(collection[i]) == key)
            return std::nullopt;
    QList<Quote> candidates;
    candidates.reserve(collection.size() + 1);
    candidates.append(*quote);
    candidates.append(collection);
    return normalizeQuotes(candidates);
}

QuoteImport importQuotes(const QList<Quote>& collection, const QList<Quote>& incoming) {
    if (incoming.isEmpty())
        return {};
    QSet<QString> before;
    before.reserve(collection.size());
    for (const Quote& quote : collection)
        before.insert(dedupeKey(quote));
    QList<Quote> merged = normalizeQuotes(collection + incoming);
    const auto added = std::count_if(merged.cbegin(), merged.cend(), [&](const Quote& quote) {
        return !before.contains(dedupeKey(quote));
    });
    if (added == 0 && merged == collection)
        return {};
    return {int(added), std::move(merged)};
}

} // namespace tessaro
