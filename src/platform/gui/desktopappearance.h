#pragma once

#include "platform/systemappearance.h"

#include <QDBusConnection>

#include <optional>

class QDBusVariant;

namespace tessaro {

// The desktop's colour scheme, from the desktop portal's
// "org.freedesktop.appearance" "color-scheme" setting, followed as it changes.
// Where no portal answers, or it states no preference, the lightness of the
// application palette decides.
class DesktopAppearance final : public SystemAppearance {
    Q_OBJECT

public:
    explicit DesktopAppearance(const QDBusConnection& bus = QDBusConnection::sessionBus(),
                               QObject* parent = nullptr);

    bool prefersDark() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private Q_SLOTS:
    void settingChanged(const QString& group, const QString& key, const QDBusVariant& value);

private:
    void setScheme(std::optional<uint> scheme);
    static bool paletteIsDark();

    QDBusConnection m_bus;
    // 0: no preference, 1: prefers dark, 2: prefers light.
    std::optional<uint> m_scheme;
    bool m_dark = false;
};

} // namespace tessaro
