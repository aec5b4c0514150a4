#include "preferences.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace tessaro {

namespace {

class SettingsPreferences final : public Preferences {
public:
    explicit SettingsPreferences(const QString& fileName)
        : m_settings(configFolder() + QLatin1Char('/') + fileName, QSettings::IniFormat) {}

    QVariant value(const QString& key) const override { return m_settings.value(key); }

    void setValue(const QString& key, const QVariant& value) override {
        if (!isAvailable())
            return;
        // QSettings writes the file back at the next pass of the event loop
        // (and when it is destroyed); a save of the document need not wait
        // for that file's flush to disk.
        m_settings.setValue(key, value);
    }

    bool isAvailable() const override { return m_settings.status() != QSettings::AccessError; }

private:
    static QString configFolder() {
        const QString folder =
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
            QLatin1String("/tessaro");
        QDir().mkpath(folder);
        return folder;
    }

    QSettings m_settings;
};

} // namespace

Preferences& Preferences::standard() {
    static SettingsPreferences preferences(QStringLiteral("tessaro.conf"));
    return preferences;
}

Preferences& Preferences::group() {
    static SettingsPreferences preferences(QStringLiteral("group.conf"));
    return preferences;
}

} // namespace tessaro
