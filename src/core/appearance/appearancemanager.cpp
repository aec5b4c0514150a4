#include "appearancemanager.h"

#include "l10n/localization.h"
#include "platform/preferences.h"
#include "platform/systemappearance.h"

#include <utility>

namespace tessaro {

using namespace Qt::StringLiterals;

namespace {

const QString appearanceKey = u"app.appearance"_s;

// Read and written on the main thread only, like the manager itself.
AppearanceManager* installed = nullptr;

PaletteColour pair(QStringView light, QStringView dark) {
    return {rgbFromHex(light), rgbFromHex(dark)};
}

} // namespace

const InterfacePalette& interfacePalette() {
    static const InterfacePalette palette{
        pair(u"#FFF8F0", u"#2B211C"), pair(u"#FFFDF9", u"#34281F"), pair(u"#5A4A42", u"#F6EDE4"),
        pair(u"#A8968C", u"#B9A59A"), pair(u"#F1E3D6", u"#463629"), pair(u"#FFB6C9", u"#E9A2B8"),
        pair(u"#6B3A4A", u"#2B211C"), pair(u"#D9707A", u"#E8949C"), pair(u"#5A4A42", u"#F6EDE4"),
    };
    return palette;
}

AppearanceManager::AppearanceManager(Preferences& preferences, QObject* parent)
    : QObject(parent)
    , m_preferences(preferences)
    , m_mode(preferences.value(appearanceKey).toString()) {
    m_dark = isDark();
}

AppearanceManager::~AppearanceManager() {
    // An Installation outliving its manager would hand out a dead object.
    Q_ASSERT(installed != this);
}

AppearanceManager* AppearanceManager::shared() {
    return installed;
}

AppearanceManager::Installation::Installation(AppearanceManager& manager)
    : m_previous(std::exchange(installed, &manager)) {}

AppearanceManager::Installation::~Installation() {
    installed = m_previous;
}

void AppearanceManager::setSystemAppearance(SystemAppearance* system) {
    if (m_system)
        disconnect(m_system, nullptr, this, nullptr);
    m_system = system;
    if (m_system)
        connect(m_system, &SystemAppearance::changed, this, &AppearanceManager::update);
    update();
}

void AppearanceManager::setMode(const QString& mode) {
    m_mode = mode;
    m_preferences.setValue(appearanceKey, mode);
    Q_EMIT modeChanged(mode);
    update();
}

std::optional<ColourScheme> AppearanceManager::scheme() const {
    if (m_mode == u"light")
        return ColourScheme::light;
    if (m_mode == u"dark")
        return ColourScheme::dark;
    return std::nullopt;
}

QList<std::pair<QString, QString>> AppearanceManager::appearanceOptions() const {
    return {{QString(), L(u"ios.appearance.system"_s)},
            {u"light"_s, L(u"ios.appearance.light"_s)},
            {u"dark"_s, L(u"ios.appearance.dark"_s)}};
}

bool AppearanceManager::isDark() const {
    if (const auto forced = scheme())
        return *forced == ColourScheme::dark;
    return m_system && m_system->prefersDark();
}

void AppearanceManager::update() {
    const bool dark = isDark();
    if (dark == m_dark)
        return;
    m_dark = dark;
    Q_EMIT appearanceChanged(dark);
}

} // namespace tessaro
