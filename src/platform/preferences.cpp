#include "preferences.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace tessaro {

namespace {

QString withFolder(const QString& filePath) {
    QDir().mkpath(QFileInfo(filePath).absolutePath());
    return filePath;
}

} // namespace

SettingsPreferences::SettingsPreferences(const QString& filePath)
    : m_settings(withFolder(filePath), QSettings::IniFormat) {}

QVariant SettingsPreferences::value(const QString& key) const {
    return m_settings.value(key);
}

void SettingsPreferences::setValue(const QString& key, const QVariant& value) {
    if (!isAvailable())
        return;
    // QSettings writes the file back at the next pass of the event loop (and
    // when it is destroyed); a save of the document need not wait for that
    // file's flush to disk.
    m_settings.setValue(key, value);
}

bool SettingsPreferences::isAvailable() const {
    return m_settings.status() != QSettings::AccessError;
}

QString userPreferencesFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QLatin1String("/tessaro");
}

} // namespace tessaro
