#pragma once

#include <QDBusConnection>
#include <QDBusVariant>
#include <QString>
#include <QVariant>

#include <functional>

class QObject;

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

// Asks for one setting and hands its value (unwrapped) to `onValue` on
// `context`'s thread; a portal older than ReadOne is asked with Read. Nothing
// is called when no portal answers.
void readSetting(const QDBusConnection& bus, const QString& group, const QString& key,
                 QObject* context, std::function<void(const QVariant&)> onValue);

} // namespace tessaro::portal
