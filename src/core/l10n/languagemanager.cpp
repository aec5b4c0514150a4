#include "languagemanager.h"

#include "localization.h"
#include "platform/preferences.h"

#include <QTimer>

#include <utility>

namespace tessaro {

namespace {

const QString languageKey = QStringLiteral("app.language");

// Read and written on the main thread only, like the manager itself.
LanguageManager* installed = nullptr;

} // namespace

LanguageManager::LanguageManager(Preferences& standard, Preferences& group, QObject* parent)
    : QObject(parent)
    , m_standard(standard)
    , m_group(group)
    , m_code(standard.value(languageKey).toString()) {
    mirrorToGroup(m_code);
}

LanguageManager::~LanguageManager() {
    // An Installation outliving its manager would leave lookups reading a dead object.
    Q_ASSERT(installed != this);
}

LanguageManager* LanguageManager::shared() {
    return installed;
}

LanguageManager::Installation::Installation(LanguageManager& manager)
    : m_previous(std::exchange(installed, &manager)) {}

LanguageManager::Installation::~Installation() {
    installed = m_previous;
}

void LanguageManager::setCode(const QString& code) {
    // Held before the signal: views that redraw on it look texts up in the new language.
    m_code = code;
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
