#pragma once

#include "platform/motionpreference.h"

#include <QDBusConnection>

class QDBusVariant;

namespace tessaro {

// The desktop's reduce-motion setting, from the desktop portal's
// "org.gnome.desktop.interface" "enable-animations" (false asks for reduced
// motion), followed as it changes. Where no portal answers, motion stays on.
class DesktopMotion final : public MotionPreference {
    Q_OBJECT

public:
    explicit DesktopMotion(const QDBusConnection& bus = QDBusConnection::sessionBus(),
                           QObject* parent = nullptr);

    bool reduceMotion() const override { return m_reduce; }

private Q_SLOTS:
    void settingChanged(const QString& group, const QString& key, const QDBusVariant& value);

private:
    void setAnimations(const QVariant& value);

    QDBusConnection m_bus;
    bool m_reduce = false;
};

} // namespace tessaro
