#include "desktopappearance.h"

#include "portalsettings.h"

#include <QDBusVariant>
#include <QEvent>
#include <QGuiApplication>
#include <QPalette>

namespace tessaro {

using namespace Qt::StringLiterals;

namespace {

using portal::settingsInterface;
const QString& portalService = portal::service;
const QString& portalPath = portal::path;
const QString appearanceGroup = u"org.freedesktop.appearance"_s;
const QString schemeKey = u"color-scheme"_s;

std::optional<uint> schemeFrom(const QVariant& wrapped) {
    const QVariant value = portal::unwrapped(wrapped);
    bool ok = false;
    const uint scheme = value.toUInt(&ok);
    return ok ? std::optional(scheme) : std::nullopt;
}

} // namespace

DesktopAppearance::DesktopAppearance(const QDBusConnection& bus, QObject* parent)
    : SystemAppearance(parent)
    , m_bus(bus)
    , m_dark(paletteIsDark()) {
    if (qApp)
        qApp->installEventFilter(this);
    if (!m_bus.isConnected())
        return;
    // QDBusConnection only connects to slots named by signature, and finds
    // their argument types by name: the variant type must be known by then.
    qRegisterMetaType<QDBusVariant>();
    m_bus.connect(portalService, portalPath, settingsInterface, u"SettingChanged"_s, this,
                  SLOT(settingChanged(QString, QString, QDBusVariant)));
    portal::readSetting(m_bus, appearanceGroup, schemeKey, this,
                        [this](const QVariant& value) { setScheme(schemeFrom(value)); });
}

bool DesktopAppearance::prefersDark() const {
    return m_dark;
}

void DesktopAppearance::settingChanged(const QString& group, const QString& key,
                                       const QDBusVariant& value) {
    if (group == appearanceGroup && key == schemeKey)
        setScheme(schemeFrom(value.variant()));
}

void DesktopAppearance::setScheme(std::optional<uint> scheme) {
    m_scheme = scheme;
    const bool dark = m_scheme == 1u || ((!m_scheme || *m_scheme == 0) && paletteIsDark());
    if (dark == m_dark)
        return;
    m_dark = dark;
    Q_EMIT changed();
}

bool DesktopAppearance::eventFilter(QObject* watched, QEvent* event) {
    if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange)
        setScheme(m_scheme);
    return SystemAppearance::eventFilter(watched, event);
}

bool DesktopAppearance::paletteIsDark() {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return false;
    return QGuiApplication::palette().color(QPalette::Window).lightness() < 128;
}

} // namespace tessaro
