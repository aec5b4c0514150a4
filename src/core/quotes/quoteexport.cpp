#include "quoteexport.h"

#include "l10n/localization.h"

#include <QStringList>

namespace tessaro {

using namespace Qt::StringLiterals;

QString exportText(const QList<Quote>& quotes, const QString& languageCode) {
    const DateFormatter dates(languageCode);
    QStringList blocks;
    blocks.reserve(quotes.size());
    for (const Quote& quote : quotes) {
        QString block = quote.text + u"\n\n\u2014 "_s;
        QStringList attribution;
        if (!quote.source.isEmpty())
            attribution.append(quote.source);
        if (quote.url && !quote.url->isEmpty())
            attribution.append(*quote.url);
        if (!attribution.isEmpty())
            block += attribution.join(u" \u2014 "_s) + u" \u00B7 "_s;
        block += dates.format(quote.at) + u'\n';
        blocks.append(block);
    }
    return blocks.join(u"\n----------------------------------------\n\n"_s);
}

bool readsAsExportDate(QStringView text) {
    if (text.isEmpty())
        return false;
    if (DateFormatter(QString()).reads(text))
        return true;
    for (const Language& language : languageTable())
        if (DateFormatter(language.code).reads(text))
            return true;
    return false;
}

} // namespace tessaro
