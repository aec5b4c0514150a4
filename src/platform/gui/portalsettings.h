#pragma once

#include <QDBusVariant>
#include <QString>
#include <QVariant>

namespace tessaro::portal {

// The desktop portal's Settings interface, which both the appearance and the
// motion preference read and follow.
inline const QString service = QStringLiteral("org.freedesktop.portal.Desktop");
inline const QString path = QStringLiteral("/org/freedesktop/portal/desktop");
inline const QString settingsInterface = QStringLiteral("org.freedesktop.portal.Settings");

// The older Read method wraps the value in one more variant than ReadOne.
inline QVariant unwrapped(QVariant value) {
    while (value.userType() == qMetaTypeId<QDBusVariant>())
        value = value.value<QDBusVariant>().variant();
    return value;
}

} // namespace tessaro::portal
