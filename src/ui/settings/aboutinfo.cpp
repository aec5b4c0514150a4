#include "aboutinfo.h"

#include <QUrl>

namespace tessaro {

using namespace Qt::StringLiterals;

QString versionText(const QString& version, const QString& build) {
    const auto orMissing = [](const QString& part) { return part.isEmpty() ? u"?"_s : part; };
    return orMissing(version) + u" ("_s + orMissing(build) + u')';
}

QString buildVersionText() {
    // Both come from the build: the project's version and the build number
    // it was given (none for a developer's own build).
    return versionText(QStringLiteral(TESSARO_VERSION), QStringLiteral(TESSARO_BUILD_NUMBER));
}

QUrl feedbackURL(const QString& versionText, const QString& systemName) {
    QUrl url;
    url.setScheme(u"mailto"_s);
    url.setPath(feedbackAddress);
    // Each part is encoded whole, so that nothing in a system's name can
    // start another query item or end the link.
    const auto encoded = [](const QString& text) {
        return QString::fromLatin1(QUrl::toPercentEncoding(text));
    };
    const QString subject = u"Tessaro Linux feedback"_s;
    const QString body = u"\n\n\u2014\napp "_s + versionText + u"\nLinux "_s + systemName;
    url.setQuery(u"subject="_s + encoded(subject) + u"&body="_s + encoded(body),
                 QUrl::StrictMode);
    return url;
}

} // namespace tessaro
