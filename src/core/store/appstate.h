#pragma once

#include "drawings/drawing.h"
#include "model/pen.h"
#include "quotes/quote.h"

#include <QMap>

#include <optional>

namespace tessaro {

// Tombstones: the key of a deleted item (a saved pen's case key, a quote's or
// a drawing's id) and when it was deleted.
using Tombstones = QMap<QString, Date>;

// Tombstones are kept 90 days.
inline constexpr double tombstoneLifetime = 7776000;

// State files and cloud blobs larger than this are not read. A full
// collection (500 quotes, 200 drawings with 40 KiB thumbnails) encodes to about
// 12 MiB; the cap leaves room for long texts in every script while keeping a
// hostile file from taking the memory of a desktop session.
inline constexpr qsizetype maxStateBytes = 64 * 1024 * 1024;

// The whole persisted document: the local file and the cloud blob alike.
struct AppState {
    Pen pen;
    QList<Pen> saved;
    QString activeGroup = defaultGroup;
    QList<Quote> quotes;
    QList<Drawing> drawings;
    Tombstones deleted;
    Date updatedAt = distantPast;

    friend bool operator==(const AppState&, const AppState&) = default;

    // The repaired copy: catalog ids checked, collections cleaned, expired
    // tombstones dropped.
    AppState sanitized(Date now) const;
};

QByteArray encodeState(const AppState& state);

struct DecodedState {
    AppState state;
    // True when something present could not be read as written: a key of the
    // wrong type that took its default, a list emptied by one bad element, text
    // repaired with U+FFFD. Saving the state would lose the original.
    bool dropped = false;
};

// Reads key by key; none only when the bytes are not a JSON object (or are
// larger than any document could be).
std::optional<DecodedState> decodeState(QByteArrayView bytes);

// The union of both maps, the later date per key, without expired entries.
Tombstones mergeTombstones(const Tombstones& a, const Tombstones& b, Date now);

// Merges a remote document (already sanitised) into the local one. Newer
// records win, deletions win over older copies.
AppState mergeStates(const AppState& local, const AppState& remote, Date now);

} // namespace tessaro
