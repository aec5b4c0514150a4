#include "keeper.h"

#include "l10n/localization.h"
#include "quotes/keeplink.h"
#include "store/penstore.h"

#include <QTimer>
#include <QUrl>

namespace tessaro {

using namespace Qt::StringLiterals;

Keeper::Keeper(PenStore& store, QObject* parent)
    : QObject(parent)
    , m_store(store) {}

void Keeper::bringToFront(bool showQuotes) {
    Q_EMIT frontRequested();
    if (!showQuotes)
        return;
    // Every press asks again, even one before the last was served.
    m_wantsQuotes = true;
    Q_EMIT wantsQuotesChanged(true);
}

void Keeper::setWantsQuotes(bool wants) {
    if (m_wantsQuotes == wants)
        return;
    m_wantsQuotes = wants;
    Q_EMIT wantsQuotesChanged(wants);
}

QString Keeper::keepLine(const QString& text, const QString& source) {
    if (text.trimmed().isEmpty())
        return L(u"quotes.placeholder"_s);
    // The sender gets its answer first; the store is changed in a later turn.
    QTimer::singleShot(0, this, [this, text, source] { keepFromServices(text, source); });
    return {};
}

bool Keeper::keepFromServices(const QString& text, const QString& source) {
    return keep(text, source, std::nullopt);
}

bool Keeper::openLink(const QUrl& link) {
    const std::optional<KeepRequest> request = parseKeepLink(link);
    if (!request)
        return false;
    return keep(request->text, request->source, request->url);
}

bool Keeper::keep(const QString& text, const QString& source, const std::optional<QString>& url) {
    if (!m_store.addQuote(text, source, url))
        return false;
    m_lastKept = text;
    Q_EMIT kept(text);
    return true;
}

} // namespace tessaro
