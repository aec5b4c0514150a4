#include "quotecollection.h"

#include <QSet>

#include <algorithm>

namespace tessaro {

namespace {

// Duplicates of a new quote are looked for among this many newest quotes only.
constexpr qsizetype duplicateWindow = 100;

} // namespace

QList<Quote> normalizeQuotes(const QList<Quote>& quotes) {
    QList<Quote> kept;
    kept.reserve(quotes.size());
    QSet<QString> seenIDs;
    QSet<QString> seenKeys;
    seenIDs.reserve(quotes.size());
    seenKeys.reserve(quotes.size());
    for (const Quote& quote : quotes) {
        auto clean = quote.sanitized();
        if (!clean)
            continue;
        if (seenIDs.contains(clean->id))
            continue;
        seenIDs.insert(clean->id);
        QString key = dedupeKey(*clean);
        if (seenKeys.contains(key))
            continue;
        seenKeys.insert(std::move(key));
        kept.append(std::move(*clean));
    }
    std::stable_sort(kept.begin(), kept.end(),
                     [](const Quote& a, const Quote& b) { return a.at > b.at; });
    if (kept.size() > maxQuotes)
        kept.resize(maxQuotes);
    return kept;
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
