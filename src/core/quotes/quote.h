#pragma once

#include "model/date.h"
#include "model/json.h"

#include <QList>
#include <QString>

#include <optional>

namespace tessaro {

inline constexpr qsizetype maxQuoteText = 500;
inline constexpr qsizetype maxQuoteID = 40;
inline constexpr qsizetype maxQuoteSource = 120;
inline constexpr qsizetype maxQuotes = 500;

// A kept quote. Counts of characters are user-perceived characters.
struct Quote {
    QString id;
    QString text;
    QString source;
    std::optional<QString> url;
    Date at = 0;

    friend bool operator==(const Quote&, const Quote&) = default;

    // The cleaned quote, or none when no text is left.
    std::optional<Quote> sanitized() const;
    // As `sanitized`, but an empty id stays empty, for the caller to fill.
    std::optional<Quote> sanitizedWithoutNewID() const;

    void writeJson(JsonWriter& writer) const;
    // "id", "text", "source" and "at" are required. "url" is optional: one that
    // is not a string is no link, and sets `dropped`.
    static std::optional<Quote> fromJson(const JsonValue& value, bool* dropped = nullptr);
};

// Two quotes with equal keys are duplicates, whatever their ids and dates.
QString dedupeKey(const Quote& quote);

// Milliseconds since 1970 in base 36 and six random characters.
QString newID();

// An http or https link, trimmed; anything else is no link.
std::optional<QString> cleanLink(const std::optional<QString>& link);

} // namespace tessaro
