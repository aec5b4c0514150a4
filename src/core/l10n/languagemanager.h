#pragma once

#include <QLocale>
#include <QObject>
#include <QString>

namespace tessaro {

class Preferences;

// The in-program language override. Stores the chosen code under
// "app.language" and mirrors it to the group preferences for the widget.
class LanguageManager : public QObject {
    Q_OBJECT

public:
    LanguageManager(Preferences& standard, Preferences& group, QObject* parent = nullptr);

    // The one instance of the program, over the real preferences.
    static LanguageManager& shared();

    // The chosen language code; empty follows the system language.
    QString code() const { return m_code; }
    void setCode(const QString& code);

    // The locale that formats for the chosen language.
    QLocale locale() const;

Q_SIGNALS:
    void codeChanged(const QString& code);

private:
    void mirrorToGroup(const QString& code);

    Preferences& m_standard;
    Preferences& m_group;
    QString m_code;
};

} // namespace tessaro
