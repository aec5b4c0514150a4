#pragma once

#include "catalog.h"
#include "date.h"
#include "json.h"

#include <QStringList>

#include <optional>

namespace tessaro {

inline constexpr int maxBeadsPerPen = 6;

// One bead-pen design: the beads in slot order and the pen's style. Holds
// catalog ids only; `sanitized` repairs a pen that came from outside.
struct Pen {
    QStringList beads;
    QString barrel = defaultBarrel;
    QString charm = defaultCharm;
    QString type = defaultPenType;
    QString ink = defaultInk;
    std::optional<Date> savedAt;

    friend bool operator==(const Pen&, const Pen&) = default;

    // Identity in lists: savedAt since 1970 (-1.0 when absent), beads, style.
    QString id() const;
    // The key of a saved pen in the tombstones.
    QString caseKey() const;
    Pen sanitized() const;
    QList<BeadSpec> beadSpecs() const;

    void writeJson(JsonWriter& writer) const;
    // Reads any JSON object, key by key; anything else is not a pen. A key that
    // is present but unreadable takes its default and sets `dropped`.
    static std::optional<Pen> fromJson(const JsonValue& value, bool* dropped = nullptr);
};

// The five design fields of a pen's JSON form, also written by the widget
// snapshot, which shows the same design.
void writePenDesign(JsonWriter& writer, const QStringList& beads, const QString& barrel,
                    const QString& charm, const QString& type, const QString& ink);

} // namespace tessaro
