#pragma once

#include <QSettings>
#include <QString>
#include <QVariant>

namespace tessaro {

// A store of user preferences. The program has two: the user's own and the
// group preferences that the widget program reads as well.
class Preferences {
public:
    virtual ~Preferences() = default;

    virtual QVariant value(const QString& key) const = 0;
    virtual void setValue(const QString& key, const QVariant& value) = 0;
    // False when the store cannot be opened or written; writes then do nothing.
    virtual bool isAvailable() const = 0;
};

// Preferences kept in one settings file. The entry opens the user's two files
// in userPreferencesFolder(); tests open theirs in a temporary folder.
class SettingsPreferences final : public Preferences {
public:
    // Creates the file's folder when it is missing.
    explicit SettingsPreferences(const QString& filePath);

    QVariant value(const QString& key) const override;
    void setValue(const QString& key, const QVariant& value) override;
    bool isAvailable() const override;

private:
    QSettings m_settings;
};

// The user's configuration folder for the program ("~/.config/tessaro"),
// which holds standardPreferencesFile and groupPreferencesFile.
QString userPreferencesFolder();

inline const QString standardPreferencesFile = QStringLiteral("tessaro.conf");
// The widget program reads this one too: its name is shared with it.
inline const QString groupPreferencesFile = QStringLiteral("group.conf");

} // namespace tessaro
