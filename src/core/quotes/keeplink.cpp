#include "keeplink.h"

#include "model/text.h"

#include <QUrl>
#include <QUrlQuery>

namespace tessaro {

using namespace Qt::StringLiterals;

namespace {

using QueryItems = QList<std::pair<QString, QString>>;

// For each accepted name in turn, the first item of that name decides: its
// value when it holds more than white space, else the next name.
std::optional<QString> firstQueryValue(const QueryItems& items, const QStringList& names) {
    for (const QString& name : names) {
        for (const auto& [key, value] : items) {
            if (key.toLower() != name)
                continue;
            if (!value.trimmed().isEmpty())
                return value;
            break;
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<KeepRequest> parseKeepLink(const QUrl& link) {
    if (link.scheme().toLower() != u"tessaro"_s)
        return std::nullopt;
    QString target = link.host();
    if (target.isEmpty()) {
        target = link.path();
        while (target.startsWith(u'/'))
            target.remove(0, 1);
        while (target.endsWith(u'/'))
            target.chop(1);
    }
    if (target.toLower() != u"keep"_s)
        return std::nullopt;
    const QueryItems items = QUrlQuery(link).queryItems(QUrl::FullyDecoded);
    if (items.isEmpty())
        return std::nullopt;
    const std::optional<QString> text =
        firstQueryValue(items, {u"q"_s, u"text"_s, u"quote"_s});
    if (!text)
        return std::nullopt;
    KeepRequest request;
    request.text = *text;
    request.source = firstQueryValue(items, {u"src"_s, u"source"_s, u"title"_s}).value_or(QString());
    if (const std::optional<QString> address = firstQueryValue(items, {u"url"_s, u"u"_s})) {
        const QString trimmed = address->trimmed();
        const QString scheme = QUrl(trimmed, QUrl::StrictMode).scheme().toLower();
        if (scheme == u"http"_s || scheme == u"https"_s)
            request.url = trimmed;
    }
    return request;
}

QString menuTitle(const QString& quoteText) {
    QString line = quoteText;
    line.replace(u'\n', u' ');
    if (graphemeCount(line) < 47)
        return line;
    return firstGraphemes(line, 45) + u'\u2026';
}

} // namespace tessaro
