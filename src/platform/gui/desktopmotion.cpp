#include "desktopmotion.h"

#include "portalsettings.h"

#include <QDBusVariant>

namespace tessaro {

using namespace Qt::StringLiterals;

namespace {

using portal::settingsInterface;
using portal::unwrapped;
const QString& portalService = portal::service;
const QString& portalPath = portal::path;
const QString interfaceGroup = u"org.gnome.desktop.interface"_s;
const QString animationsKey = u"enable-animations"_s;

} // namespace

DesktopMotion::DesktopMotion(const QDBusConnection& bus, QObject* parent)
    : MotionPreference(parent)
    , m_bus(bus) {
    if (!m_bus.isConnected())
        return;
    // QDBusConnection connects only to slots named by signature and finds
    // their argument types by name: the variant type must be known by then.
    qRegisterMetaType<QDBusVariant>();
    m_bus.connect(portalService, portalPath, settingsInterface, u"SettingChanged"_s, this,
                  SLOT(settingChanged(QString, QString, QDBusVariant)));
    portal::readSetting(m_bus, interfaceGroup, animationsKey, this,
                        [this](const QVariant& value) { setAnimations(value); });
}

void DesktopMotion::settingChanged(const QString& group, const QString& key,
                                   const QDBusVariant& value) {
    if (group == interfaceGroup && key == animationsKey)
        setAnimations(value.variant());
}

void DesktopMotion::setAnimations(const QVariant& value) {
    const QVariant animations = unwrapped(value);
    // Anything but a boolean says nothing about the setting.
    if (animations.userType() != QMetaType::Bool)
        return;
    const bool reduce = !animations.toBool();
    if (reduce == m_reduce)
        return;
    m_reduce = reduce;
    Q_EMIT changed();
}

} // namespace tessaro
