#pragma once

#include <QString>
#include <QUrl>

namespace tessaro {

// Where the support rows lead, and the address the about card shows.
inline const QString feedbackAddress = QStringLiteral("feedback@tessaro.app");
inline const QString contactAddress = QStringLiteral("hello@tessaro.app");
inline const QUrl websiteURL = QUrl(QStringLiteral("https://tessaro.app"));
// Software centres (GNOME Software, KDE Discover) open the program's page,
// where it can be rated.
inline const QUrl rateURL = QUrl(QStringLiteral("appstream://app.tessaro.Tessaro"));

// "<version> (<build>)", a missing part written "?".
QString versionText(const QString& version, const QString& build);
// The version and build number this program was built with.
QString buildVersionText();

// A new mail to the feedback address, its body closing with the program's
// version and the system it runs on (such as QSysInfo::prettyProductName()).
QUrl feedbackURL(const QString& versionText, const QString& systemName);

} // namespace tessaro
