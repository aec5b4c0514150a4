#include "quoteimport.h"

#include "isodate.h"
#include "model/text.h"
#include "quotecollection.h"

#include <QStringList>

namespace tessaro {

using namespace Qt::StringLiterals;

namespace {

struct Attribution {
    QString source;
    std::optional<QString> url;
};

// Splits at lines of three or more hyphens (spaces and tabs around them
// allowed), taking the line breaks before and after with the separator.
QStringList splitAtDashLines(const QString& text) {
    QStringList pieces;
    const qsizetype size = text.size();
    qsizetype pieceStart = 0;
    qsizetype from = 0;
    while (true) {
        const qsizetype newline = text.indexOf(u'\n', from);
        if (newline < 0)
            break;
        qsizetype i = newline + 1;
        while (i < size && (text[i] == u' ' || text[i] == u'\t'))
            ++i;
        const qsizetype dashes = i;
        while (i < size && text[i] == u'-')
            ++i;
        const bool enoughDashes = i - dashes >= 3;
        while (i < size && (text[i] == u' ' || text[i] == u'\t'))
            ++i;
        if (enoughDashes && i < size && text[i] == u'\n') {
            pieces.append(text.sliced(pieceStart, newline - pieceStart));
            pieceStart = i + 1;
            from = i + 1;
        } else {
            from = newline + 1;
        }
    }
    pieces.append(text.sliced(pieceStart));
    return pieces;
}

// The body of an attribution line ("— Name", "(Name)"), or none.
std::optional<QString> attributionBody(const QString& line) {
    const QString trimmed = trimmedSpacesAndTabs(line);
    if (trimmed.isEmpty())
        return std::nullopt;
    for (const QStringView prefix : {u"\u2014", u"\u2013", u"\u2015", u"--", u"-"}) {
        if (trimmed.startsWith(prefix))
            return trimmedSpacesAndTabs(QStringView(trimmed).sliced(prefix.size()));
    }
    if (trimmed.size() >= 3 && trimmed.startsWith(u'(') && trimmed.endsWith(u')'))
        return trimmedSpacesAndTabs(QStringView(trimmed).sliced(1, trimmed.size() - 2));
    return std::nullopt;
}

Attribution readAttribution(const QString& body) {
    QString kept = body;
    // The export appends " · date"; the date is not part of the source.
    if (const qsizetype dot = kept.lastIndexOf(u" \u00B7 "_s); dot >= 0)
        kept.truncate(dot);
    Attribution result;
    if (const qsizetype dash = kept.lastIndexOf(u" \u2014 "_s); dash >= 0) {
        if (auto link = cleanLink(kept.sliced(dash + 3))) {
            result.url = std::move(link);
            result.source = kept.left(dash);
        } else {
            result.source = kept;
        }
    } else if (auto link = cleanLink(kept)) {
        result.url = std::move(link);
    } else {
        result.source = kept;
    }
    result.source = trimmedSpacesAndTabs(result.source);
    return result;
}

void dropEmptyEnds(QStringList& lines) {
    while (!lines.isEmpty() && lines.first().isEmpty())
        lines.removeFirst();
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
}

QList<Quote> readPlainText(const QString& text, Date now) {
    QStringList pieces = splitAtDashLines(text);
    if (pieces.size() == 1)
        pieces = text.split(u"\n\n"_s);

    QList<Quote> quotes;
    for (const QString& piece : std::as_const(pieces)) {
        QStringList lines = piece.split(u'\n');
        for (QString& line : lines)
            line = trimmedSpacesAndTabs(line);
        dropEmptyEnds(lines);
        if (lines.isEmpty())
            continue;

        Attribution attribution;
        if (const auto body = attributionBody(lines.last())) {
            if (lines.size() > 1) {
                attribution = readAttribution(*body);
                lines.removeLast();
                dropEmptyEnds(lines);
            } else if (!quotes.isEmpty() && quotes.last().source.isEmpty() && !quotes.last().url) {
                // A lone attribution paragraph belongs to the quote above it.
                const Attribution late = readAttribution(*body);
                quotes.last().source = late.source;
                quotes.last().url = late.url;
                continue;
            }
        }
        const QString quoteText = lines.join(u'\n').trimmed();
        if (quoteText.isEmpty())
            continue;
        quotes.append({newID(), quoteText, attribution.source, attribution.url, 0});
    }
    for (qsizetype i = 0; i < quotes.size(); ++i)
        quotes[i].at = now - double(i);
    return normalizeQuotes(quotes);
}

std::optional<Date> readDate(const JsonValue* value) {
    if (const auto text = jsonString(value))
        return parseInternetDate(*text);
    if (const auto seconds = jsonNumber(value))
        return dateFromUnix(*seconds);
    return std::nullopt;
}

// None when the text is not JSON at all; an empty list when it is JSON that
// holds no usable quotes.
std::optional<QList<Quote>> readJson(const QString& text, Date now) {
    JsonDocument document;
    switch (document.parse(text.toUtf8())) {
    case JsonStatus::invalid:
        return std::nullopt;
    case JsonStatus::tooDeep:
        return QList<Quote>();
    case JsonStatus::ok:
        break;
    }
    const JsonValue* items = &document.root();
    if (items->IsObject())
        items = jsonMember(*items, "quotes");
    if (!items || !items->IsArray())
        return QList<Quote>();

    QList<Quote> quotes;
    const auto array = items->GetArray();
    for (rapidjson::SizeType i = 0; i < array.Size(); ++i) {
        const JsonValue& item = array[i];
        if (!item.IsObject())
            continue;
        const auto quoteText = jsonString(jsonMember(item, "text"));
        if (!quoteText)
            continue;
        QString id = jsonString(jsonMember(item, "id")).value_or(QString());
        if (id.isEmpty())
            id = newID();
        quotes.append({std::move(id), *quoteText,
                       jsonString(jsonMember(item, "source")).value_or(QString()),
                       jsonString(jsonMember(item, "url")),
                       readDate(jsonMember(item, "at")).value_or(now - double(i))});
    }
    return normalizeQuotes(quotes);
}

} // namespace

QList<Quote> parseQuotesImport(const QString& input, Date now) {
    QString text = input;
    text.replace(u"\r\n"_s, u"\n"_s);
    text.replace(u'\r', u'\n');
    text.remove(QChar(0xFEFF));

    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return {};
    // Valid JSON is read as JSON even when it holds nothing usable; only text
    // that is not JSON at all falls back to the plain-text reader.
    if (trimmed.startsWith(u'[') || trimmed.startsWith(u'{')) {
        if (auto quotes = readJson(trimmed, now))
            return *quotes;
    }
    return readPlainText(text, now);
}

} // namespace tessaro
