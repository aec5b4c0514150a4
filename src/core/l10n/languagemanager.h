#pragma once

#include <QLocale>
#include <QObject>
#include <QString>

namespace tessaro {

class Preferences;

// The in-program language override, and the one place that knows the chosen
// language: text lookup and date formatting read it from the installed
// manager. Stores the code under "app.language" and mirrors it to the group
// preferences for the widget.
class LanguageManager : public QObject {
    Q_OBJECT

public:
    LanguageManager(Preferences& standard, Preferences& group, QObject* parent = nullptr);
    ~LanguageManager() override;

    // The process-wide manager: the one installed by an Installation, or null
    // while none is (texts and dates then follow the system language).
    static LanguageManager* shared();

    // Makes a manager the process-wide one while it lives; the one installed
    // before comes back after. The entry installs its manager for the whole
    // run, a test for one test function.
    class Installation {
    public:
        explicit Installation(LanguageManager& manager);
        ~Installation();
        Installation(const Installation&) = delete;
        Installation& operator=(const Installation&) = delete;

    private:
        LanguageManager* m_previous;
    };

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
