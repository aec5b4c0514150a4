#pragma once

// What the keeper reads from other programs and shows of the quotes it keeps.

#include <QString>

#include <optional>

class QUrl;

namespace tessaro {

// What a "tessaro://keep?…" link asks to keep.
struct KeepRequest {
    QString text;
    QString source;
    // An http or https address, trimmed.
    std::optional<QString> url;

    friend bool operator==(const KeepRequest&, const KeepRequest&) = default;
};

// Reads a keep link: scheme "tessaro", target "keep" (the host, or the path
// between slashes when there is no host), the text from "q", "text" or
// "quote", the source from "src", "source" or "title", the link from "url"
// or "u". Names are tried in that order, not in the query's; a value of only
// white space counts as missing. None for any other link or one without text.
std::optional<KeepRequest> parseKeepLink(const QUrl& link);

// A quote as one menu row: its line breaks become spaces, and from 47
// user-perceived characters on it is cut to 45 and "…".
QString menuTitle(const QString& quoteText);

} // namespace tessaro
