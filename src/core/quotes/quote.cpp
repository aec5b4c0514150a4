#include "quote.h"

#include "model/text.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <QUrl>

namespace tessaro {

using namespace Qt::StringLiterals;

std::optional<Quote> Quote::sanitized() const {
    auto quote = sanitizedWithoutNewID();
    if (quote && quote->id.isEmpty())
        quote->id = newID();
    return quote;
}

std::optional<Quote> Quote::sanitizedWithoutNewID() const {
    Quote quote;
    // Trimmed again after the cut, which may end on a space: a clean quote is
    // trimmed, and cleaning it a second time changes nothing.
    quote.text = firstGraphemes(text.trimmed(), maxQuoteText).trimmed();
    if (quote.text.isEmpty())
        return std::nullopt;
    quote.id = firstGraphemes(id, maxQuoteID);
    quote.source = firstGraphemes(source.trimmed(), maxQuoteSource).trimmed();
    quote.url = cleanLink(url);
    quote.at = at;
    return quote;
}

void Quote::writeJson(JsonWriter& writer) const {
    writer.beginObject();
    writer.key("id");
    writer.value(id);
    writer.key("text");
    writer.value(text);
    writer.key("source");
    writer.value(source);
    if (url) {
        writer.key("url");
        writer.value(*url);
    }
    writer.key("at");
    writer.value(at);
    writer.endObject();
}

std::optional<Quote> Quote::fromJson(const JsonValue& value, bool* dropped) {
    if (!value.IsObject())
        return std::nullopt;
    auto id = jsonString(jsonMember(value, "id"));
    auto text = jsonString(jsonMember(value, "text"));
    auto source = jsonString(jsonMember(value, "source"));
    auto at = jsonNumber(jsonMember(value, "at"));
    if (!id || !text || !source || !at)
        return std::nullopt;
    Quote quote{std::move(*id), std::move(*text), std::move(*source), std::nullopt, *at};
    if (const JsonValue* url = jsonMember(value, "url"); jsonPresent(url)) {
        quote.url = jsonString(url);
        if (!quote.url && dropped)
            *dropped = true;
    }
    return quote;
}

QString dedupeKey(const Quote& quote) {
    return quote.text + QChar(0x0001) + quote.url.value_or(QString());
}

QString newID() {
    static constexpr char16_t digits[] = u"abcdefghijklmnopqrstuvwxyz0123456789";
    QString id = QString::number(QDateTime::currentMSecsSinceEpoch(), 36);
    auto* random = QRandomGenerator::global();
    for (int i = 0; i < 6; ++i)
        id += QChar(digits[random->bounded(36)]);
    return id;
}

std::optional<QString> cleanLink(const std::optional<QString>& link) {
    if (!link)
        return std::nullopt;
    const QString trimmed = link->trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    for (const QChar c : trimmed)
        if (c.isSpace())
            return std::nullopt;
    const QUrl url(trimmed, QUrl::TolerantMode);
    const QString scheme = url.scheme();
    if (!url.isValid() || (scheme.compare(u"http"_s, Qt::CaseInsensitive) != 0 &&
                           scheme.compare(u"https"_s, Qt::CaseInsensitive) != 0))
        return std::nullopt;
    return trimmed;
}

} // namespace tessaro
