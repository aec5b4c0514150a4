#include "quotelink.h"

namespace tessaro {

using namespace Qt::StringLiterals;

std::optional<QUrl> webLink(const QString& link) {
    const QUrl url(link.trimmed(), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != u"http"_s && scheme != u"https"_s))
        return std::nullopt;
    return url;
}

} // namespace tessaro
