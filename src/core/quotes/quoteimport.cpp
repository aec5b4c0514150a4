#include "quoteimport.h"

#include "isodate.h"
#include "model/text.h"
#include "quotecollection.h"
#include "quoteexport.h"

namespace tessaro {

using namespace Qt::StringLiterals;

namespace {

// The readers work on views of the file's text and build a quote's strings
// only for the pieces that make one: a 5 MiB file may hold a million tiny
// pieces, of which at most 500 can be kept.

struct Attribution {
    QString source;
    std::optional<QString> url;
};

QStringView withoutSpacesAndTabs(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && (text[begin] == u' ' || text[begin] == u'\t'))
        ++begin;
    while (end > begin && (text[end - 1] == u' ' || text[end - 1] == u'\t'))
        --end;
    return text.sliced(begin, end - begin);
}

// When the line starting after the line break at `newline` holds three or
// more hyphens (spaces and tabs around them allowed) and a line break follows,
// the position of that line break; else -1.
qsizetype dashLineEnd(QStringView text, qsizetype newline) {
    const qsizetype size = text.size();
    qsizetype i = newline + 1;
    while (i < size && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    const qsizetype dashes = i;
    while (i < size && text[i] == u'-')
        ++i;
    if (i - dashes < 3)
        return -1;
    while (i < size && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    return i < size && text[i] == u'\n' ? i : -1;
}

// The last line of `text` that is not empty once trimmed of spaces and tabs,
// as a range of `text`; empty when there is none.
QStringView lastFilledLine(QStringView text, qsizetype& start) {
    qsizetype end = text.size();
    while (true) {
        // (A search from -1 would start at the end of the text.)
        const qsizetype newline = end > 0 ? text.lastIndexOf(u'\n', end - 1) : -1;
        start = newline + 1;
        const QStringView line = text.sliced(start, end - start);
        if (!withoutSpacesAndTabs(line).isEmpty())
            return line;
        if (newline < 0)
            break;
        end = newline;
    }
    start = 0;
    return {};
}

// Whether the text is the export of a single quote: no separator line, the
// quote, a blank line, and the export's attribution line ("— ", then source
// and link, " · " and the date; or the date alone) last. Split at blank lines,
// a quote with a blank line of its own would come back as two, the second
// taking the attribution. Only the export's own date marks the line, so a
// file written by hand still splits at its blank lines.
bool isSingleExportBlock(QStringView text) {
    qsizetype lastStart = 0;
    const QStringView last = lastFilledLine(text, lastStart);
    if (!last.startsWith(u"\u2014 ") || lastStart < 2 ||
        text.sliced(lastStart - 2, 2) != u"\n\n" ||
        !text.first(lastStart - 2).contains(u"\n\n"))
        return false;
    QStringView date = last.sliced(2);
    if (const qsizetype dot = date.lastIndexOf(u" \u00B7 "); dot >= 0)
        date = date.sliced(dot + 3);
    return readsAsExportDate(withoutSpacesAndTabs(date));
}

// The pieces of the text, in order: split at dash lines (with the line breaks
// before and after them) when there is one, else at blank lines, but for the
// export of a single quote, which is one piece.
class Pieces {
public:
    explicit Pieces(QStringView text)
        : m_text(text) {
        for (qsizetype newline = text.indexOf(u'\n'); newline >= 0;
             newline = text.indexOf(u'\n', newline + 1)) {
            if (dashLineEnd(text, newline) >= 0) {
                m_atDashLines = true;
                break;
            }
        }
        m_whole = !m_atDashLines && isSingleExportBlock(text);
    }

    bool next(QStringView& piece) {
        if (m_from > m_text.size())
            return false;
        if (m_whole) {
            piece = m_text;
            m_from = m_text.size() + 1;
            return true;
        }
        if (!m_atDashLines) {
            qsizetype end = m_text.indexOf(u"\n\n", m_from);
            if (end < 0)
                end = m_text.size();
            piece = m_text.sliced(m_from, end - m_from);
            m_from = end + 2;
            return true;
        }
        for (qsizetype newline = m_text.indexOf(u'\n', m_scan); newline >= 0;
             newline = m_text.indexOf(u'\n', newline + 1)) {
            if (const qsizetype end = dashLineEnd(m_text, newline); end >= 0) {
                piece = m_text.sliced(m_from, newline - m_from);
                m_from = m_scan = end + 1;
                return true;
            }
        }
        piece = m_text.sliced(m_from);
        m_from = m_text.size() + 1;
        return true;
    }

private:
    QStringView m_text;
    bool m_atDashLines = false;
    bool m_whole = false;
    qsizetype m_from = 0;
    qsizetype m_scan = 0;
};

// The body of an attribution line ("— Name", "(Name)"), or none.
std::optional<QStringView> attributionBody(QStringView line) {
    const QStringView trimmed = withoutSpacesAndTabs(line);
    if (trimmed.isEmpty())
        return std::nullopt;
    for (const QStringView prefix : {u"\u2014", u"\u2013", u"\u2015", u"--", u"-"}) {
        if (trimmed.startsWith(prefix))
            return withoutSpacesAndTabs(trimmed.sliced(prefix.size()));
    }
    if (trimmed.size() >= 3 && trimmed.startsWith(u'(') && trimmed.endsWith(u')'))
        return withoutSpacesAndTabs(trimmed.sliced(1, trimmed.size() - 2));
    return std::nullopt;
}

Attribution readAttribution(QStringView body) {
    QStringView kept = body;
    // The export appends " · date"; the date is not part of the source.
    if (const qsizetype dot = kept.lastIndexOf(u" \u00B7 "); dot >= 0)
        kept.truncate(dot);
    Attribution result;
    QStringView source = kept;
    if (const qsizetype dash = kept.lastIndexOf(u" \u2014 "); dash >= 0) {
        if (auto link = cleanLink(kept.sliced(dash + 3).toString())) {
            result.url = std::move(link);
            source = kept.left(dash);
        }
    } else if (auto link = cleanLink(kept.toString())) {
        result.url = std::move(link);
        source = {};
    }
    result.source = withoutSpacesAndTabs(source).toString();
    return result;
}

// The lines of `text` trimmed of spaces and tabs and joined again, then
// trimmed: the text of a quote.
QString joinedLines(QStringView text) {
    QString joined;
    joined.reserve(text.size());
    qsizetype from = 0;
    while (true) {
        const qsizetype newline = text.indexOf(u'\n', from);
        joined +=
            withoutSpacesAndTabs(text.sliced(from, (newline < 0 ? text.size() : newline) - from));
        if (newline < 0)
            break;
        joined += u'\n';
        from = newline + 1;
    }
    return std::move(joined).trimmed();
}

QList<Quote> readPlainText(QStringView text, Date now) {
    QuoteCollector collector;
    // The last quote read stays open: an attribution standing alone in the
    // next piece still belongs to it.
    std::optional<Quote> open;
    qsizetype count = 0;

    Pieces pieces(text);
    for (QStringView piece; pieces.next(piece);) {
        qsizetype lastStart = 0;
        const QStringView last = lastFilledLine(piece, lastStart);
        if (last.isEmpty())
            continue;
        QStringView body = piece;
        Attribution attribution;
        if (const auto line = attributionBody(last)) {
            qsizetype otherStart = 0;
            const bool alone = lastFilledLine(piece.first(lastStart), otherStart).isEmpty();
            if (!alone) {
                attribution = readAttribution(*line);
                body = piece.first(lastStart);
            } else if (open && open->source.isEmpty() && !open->url) {
                Attribution late = readAttribution(*line);
                open->source = std::move(late.source);
                open->url = std::move(late.url);
                continue;
            }
        }
        QString quoteText = joinedLines(body);
        if (quoteText.isEmpty())
            continue;
        if (open)
            collector.add(*std::exchange(open, std::nullopt));
        // Quotes are dated one second apart in file order, newest first: once
        // 500 are kept, no later quote can be among the newest 500.
        if (collector.kept() >= maxQuotes)
            break;
        open = Quote{{},
                     std::move(quoteText),
                     std::move(attribution.source),
                     std::move(attribution.url),
                     now - double(count++)};
    }
    if (open)
        collector.add(*open);
    return collector.result();
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
std::optional<QList<Quote>> readJson(QStringView text, Date now) {
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

    QuoteCollector collector;
    const auto array = items->GetArray();
    for (rapidjson::SizeType i = 0; i < array.Size(); ++i) {
        const JsonValue& item = array[i];
        if (!item.IsObject())
            continue;
        auto quoteText = jsonString(jsonMember(item, "text"));
        if (!quoteText)
            continue;
        // An item without an id gets a fresh one if it is kept.
        collector.add({jsonString(jsonMember(item, "id")).value_or(QString()),
                       std::move(*quoteText),
                       jsonString(jsonMember(item, "source")).value_or(QString()),
                       jsonString(jsonMember(item, "url")),
                       readDate(jsonMember(item, "at")).value_or(now - double(i))});
    }
    return collector.result();
}

// Line breaks as "\n" and no byte-order marks; the text itself when it has
// neither "\r" nor U+FEFF.
QString withPlainLineBreaks(const QString& input) {
    const QStringView view(input);
    if (!view.contains(u'\r') && !view.contains(QChar(0xFEFF)))
        return input;
    QString text(input.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype i = 0; i < view.size(); ++i) {
        const QChar c = view[i];
        if (c == u'\r') {
            *out++ = u'\n';
            if (i + 1 < view.size() && view[i + 1] == u'\n')
                ++i;
        } else if (c != QChar(0xFEFF)) {
            *out++ = c;
        }
    }
    text.truncate(out - text.constData());
    return text;
}

} // namespace

QList<Quote> parseQuotesImport(const QString& input, Date now) {
    const QString text = withPlainLineBreaks(input);
    const QStringView trimmed = QStringView(text).trimmed();
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
