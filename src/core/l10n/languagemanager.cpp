#include "languagemanager.h"

#include "localization.h"
#include "platform/preferences.h"

#include <QTimer>

namespace tessaro {

namespace {

const QString languageKey = QStringLiteral("app.language");

} // namespace

LanguageManager::LanguageManager(Preferences& standard, Preferences& group, QObject* parent)
    : QObject(parent)
    , m_standard(standard)
    , m_group(group)
    , m_code(standard.value(languageKey).toString()) {
    mirrorToGroup(m_code);
}

LanguageManager& LanguageManager::shared() {
    static LanguageManager* manager =
        new LanguageManager(Preferences::standard(), Preferences::group());
    return *manager;
}

void LanguageManager::setCode(const QString& code) {
    m_code = code;
    // Store first: views that redraw on the signal look texts up through the preference.
    m_standard.setValue(languageKey, code);
    Q_EMIT codeChanged(code);
    mirrorToGroup(code);
}

QLocale LanguageManager::locale() const {
    return m_code.isEmpty() ? QLocale::system() : QLocale(localeIdentifier(m_code));
}

void LanguageManager::mirrorToGroup(const QString& code) {
    QTimer::singleShot(0, this, [this, code] {
        if (m_group.isAvailable())
            m_group.setValue(languageKey, code);
    });
}

} // namespace tessaro
