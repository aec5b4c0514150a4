#include "appstate.h"

#include "quotes/quotecollection.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <tuple>

namespace tessaro {

namespace {

bool expired(Date deletedAt, Date now) {
    return now - deletedAt > tombstoneLifetime;
}

// A document may hold very many tombstones: the map is shared, not copied,
// when none has expired, and otherwise rebuilt from the kept entries in order.
Tombstones withoutExpired(const Tombstones& tombstones, Date now) {
    if (std::none_of(tombstones.cbegin(), tombstones.cend(),
                     [&](Date deletedAt) { return expired(deletedAt, now); }))
        return tombstones;
    Tombstones kept;
    for (auto it = tombstones.cbegin(); it != tombstones.cend(); ++it)
        if (!expired(it.value(), now))
            kept.insert(kept.cend(), it.key(), it.value());
    return kept;
}

// True when a tombstone for `key` is later than the item's own date.
bool buried(const Tombstones& tombstones, const QString& key, Date itemDate) {
    const auto it = tombstones.constFind(key);
    return it != tombstones.cend() && it.value() > itemDate;
}

// Decodes a list as a whole: one element that does not decode empties it.
template <typename Item, typename Decode>
QList<Item> decodeList(const JsonValue* value, bool& dropped, Decode decode) {
    if (!jsonPresent(value))
        return {};
    QList<Item> items;
    if (value->IsArray()) {
        items.reserve(value->Size());
        for (const JsonValue& element : value->GetArray()) {
            auto item = decode(element);
            if (!item) {
                dropped = true;
                return {};
            }
            items.append(std::move(*item));
        }
        return items;
    }
    dropped = true;
    return {};
}

// Tombstones are read as the parser meets them, never as a document: there
// may be very many, each costing several times its text in a document.
class TombstoneReader final : public JsonStreamedObject {
public:
    TombstoneReader()
        : JsonStreamedObject("deleted") {}

    void member(std::string_view key, std::optional<double> date) override {
        if (m_unreadable)
            return;
        // One entry that is not a date makes the whole map unreadable.
        if (!date) {
            m_unreadable = true;
            m_tombstones.clear();
            return;
        }
        // Written in key order, so each one usually goes at the end.
        m_tombstones.insert(m_tombstones.cend(),
                            QString::fromUtf8(key.data(), qsizetype(key.size())), *date);
    }

    // `value` is what the document holds under "deleted".
    Tombstones take(const JsonValue* value, bool& dropped) {
        if (!jsonPresent(value))
            return {};
        if (!value->IsObject() || m_unreadable) {
            dropped = true;
            return {};
        }
        return std::move(m_tombstones);
    }

private:
    Tombstones m_tombstones;
    bool m_unreadable = false;
};

QList<Pen> mergeSaved(const AppState& local, const AppState& remote, const Tombstones& deleted) {
    QList<Pen> pens;
    QSet<QString> keys;
    for (const QList<Pen>* side : {&local.saved, &remote.saved}) {
        for (const Pen& pen : *side) {
            Pen clean = pen.sanitized();
            const QString key = clean.caseKey();
            if (keys.contains(key))
                continue;
            keys.insert(key);
            if (!buried(deleted, key, clean.savedAt.value_or(distantPast)))
                pens.append(std::move(clean));
        }
    }
    std::stable_sort(pens.begin(), pens.end(), [](const Pen& a, const Pen& b) {
        return a.savedAt.value_or(distantPast) > b.savedAt.value_or(distantPast);
    });
    return pens;
}

QList<Quote> mergeQuotes(const AppState& local, const AppState& remote, const Tombstones& deleted) {
    QList<Quote> quotes;
    QHash<QString, qsizetype> position;
    for (const QList<Quote>* side : {&local.quotes, &remote.quotes}) {
        for (const Quote& quote : *side) {
            auto clean = quote.sanitized();
            if (!clean)
                continue;
            const auto it = position.constFind(clean->id);
            if (it == position.cend()) {
                position.insert(clean->id, quotes.size());
                quotes.append(std::move(*clean));
            } else if (clean->at > quotes[*it].at) {
                quotes[*it] = std::move(*clean);
            }
        }
    }
    quotes.removeIf([&](const Quote& quote) { return buried(deleted, quote.id, quote.at); });
    return normalizeQuotes(quotes);
}

// The later record wins. Records of the same date that differ (two devices
// that each adopted the same page file on their own, with their own pen's
// style) are ordered by their fields, so that every device keeps the same one;
// "the local one" would leave the devices different for good.
bool supersedes(const Drawing& candidate, const Drawing& kept) {
    if (candidate.updatedAt != kept.updatedAt)
        return candidate.updatedAt > kept.updatedAt;
    const auto order = [](const Drawing& d) {
        return std::tuple(d.penType, d.ink, d.createdAt, d.pageSize.width(), d.pageSize.height());
    };
    return order(candidate) > order(kept);
}

QList<Drawing> mergeDrawings(const AppState& local, const AppState& remote,
                             const Tombstones& deleted) {
    QList<Drawing> drawings;
    QHash<QString, qsizetype> position;
    for (const QList<Drawing>* side : {&local.drawings, &remote.drawings}) {
        for (const Drawing& drawing : *side) {
            const auto it = position.constFind(drawing.id);
            if (it == position.cend()) {
                position.insert(drawing.id, drawings.size());
                drawings.append(drawing);
                continue;
            }
            Drawing& kept = drawings[*it];
            // The losing copy still lends its thumbnail when the winner has none.
            std::optional<QByteArray> spare = drawing.thumbnailPNG;
            if (supersedes(drawing, kept)) {
                spare = kept.thumbnailPNG;
                kept = drawing;
            }
            if (!kept.thumbnailPNG && spare)
                kept.thumbnailPNG = spare;
        }
    }
    drawings.removeIf(
        [&](const Drawing& drawing) { return buried(deleted, drawing.id, drawing.updatedAt); });
    return normalizeDrawings(drawings);
}

} // namespace

AppState AppState::sanitized(Date now) const {
    AppState state;
    state.pen = pen.sanitized();
    state.saved.reserve(saved.size());
    for (const Pen& savedPen : saved)
        state.saved.append(savedPen.sanitized());
    state.activeGroup = isBeadGroup(activeGroup) ? activeGroup : defaultGroup;
    state.quotes = normalizeQuotes(quotes);
    state.drawings = normalizeDrawings(drawings);
    state.deleted = withoutExpired(deleted, now);
    state.updatedAt = updatedAt;
    return state;
}

QByteArray encodeState(const AppState& state) {
    QByteArray out;
    // Thumbnails dominate a full document; reserve for them up front.
    qsizetype estimate = 4096 + state.quotes.size() * 1024 + state.deleted.size() * 64;
    for (const Drawing& drawing : state.drawings)
        estimate += 256 + (drawing.thumbnailPNG ? drawing.thumbnailPNG->size() * 4 / 3 + 4 : 0);
    out.reserve(estimate);

    JsonWriter writer(out);
    writer.beginObject();
    writer.key("pen");
    state.pen.writeJson(writer);
    writer.key("saved");
    writer.beginArray();
    for (const Pen& pen : state.saved)
        pen.writeJson(writer);
    writer.endArray();
    writer.key("activeGroup");
    writer.value(state.activeGroup);
    writer.key("quotes");
    writer.beginArray();
    for (const Quote& quote : state.quotes)
        quote.writeJson(writer);
    writer.endArray();
    writer.key("drawings");
    writer.beginArray();
    for (const Drawing& drawing : state.drawings)
        drawing.writeJson(writer);
    writer.endArray();
    writer.key("deleted");
    writer.beginObject();
    for (auto it = state.deleted.cbegin(); it != state.deleted.cend(); ++it) {
        writer.mapKey(it.key());
        writer.value(it.value());
    }
    writer.endObject();
    writer.key("updatedAt");
    writer.value(state.updatedAt);
    writer.endObject();
    return out;
}

std::optional<DecodedState> decodeState(QByteArrayView bytes) {
    if (bytes.size() > maxStateBytes)
        return std::nullopt;
    JsonDocument document;
    TombstoneReader tombstones;
    if (document.parse(bytes, &tombstones) != JsonStatus::ok || !document.root().IsObject())
        return std::nullopt;
    const JsonValue& root = document.root();

    DecodedState decoded;
    AppState& state = decoded.state;
    bool& dropped = decoded.dropped;
    dropped = document.repaired();

    if (const JsonValue* pen = jsonMember(root, "pen"); jsonPresent(pen)) {
        if (auto read = Pen::fromJson(*pen, &dropped))
            state.pen = std::move(*read);
        else
            dropped = true;
    }
    state.saved = decodeList<Pen>(jsonMember(root, "saved"), dropped,
                                  [&](const JsonValue& v) { return Pen::fromJson(v, &dropped); });
    if (const JsonValue* group = jsonMember(root, "activeGroup"); jsonPresent(group)) {
        const auto read = jsonString(group);
        dropped |= !read;
        state.activeGroup = read.value_or(defaultGroup);
    }
    state.quotes = decodeList<Quote>(jsonMember(root, "quotes"), dropped, [&](const JsonValue& v) {
        return Quote::fromJson(v, &dropped);
    });
    state.drawings =
        decodeList<Drawing>(jsonMember(root, "drawings"), dropped,
                            [&](const JsonValue& v) { return Drawing::fromJson(v, &dropped); });
    state.deleted = tombstones.take(jsonMember(root, "deleted"), dropped);
    if (const JsonValue* updatedAt = jsonMember(root, "updatedAt"); jsonPresent(updatedAt)) {
        const auto read = jsonNumber(updatedAt);
        dropped |= !read;
        state.updatedAt = read.value_or(distantPast);
    }
    return decoded;
}

Tombstones mergeTombstones(const Tombstones& a, const Tombstones& b, Date now) {
    Tombstones merged = a;
    for (auto it = b.cbegin(); it != b.cend(); ++it) {
        auto existing = merged.find(it.key());
        if (existing == merged.end())
            merged.insert(it.key(), it.value());
        else if (it.value() > existing.value())
            existing.value() = it.value();
    }
    return withoutExpired(merged, now);
}

AppState mergeStates(const AppState& local, const AppState& remote, Date now) {
    AppState merged;
    merged.deleted = mergeTombstones(local.deleted, remote.deleted, now);
    const AppState& newer = remote.updatedAt > local.updatedAt ? remote : local;
    merged.pen = newer.pen.sanitized();
    merged.activeGroup = isBeadGroup(newer.activeGroup) ? newer.activeGroup : defaultGroup;
    merged.saved = mergeSaved(local, remote, merged.deleted);
    merged.quotes = mergeQuotes(local, remote, merged.deleted);
    merged.drawings = mergeDrawings(local, remote, merged.deleted);
    merged.updatedAt = std::max(local.updatedAt, remote.updatedAt);
    return merged;
}

} // namespace tessaro
