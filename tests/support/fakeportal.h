#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QHash>
#include <QObject>

namespace tessaro::test {

// Plays the desktop portal's Settings on the (private) session bus, from a
// connection of its own as a separate process would: `ReadOne`, or only the
// older `Read` that wraps the value in one more variant. Settings it does
// not hold read as 0.
class FakePortal : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")

public:
    explicit FakePortal(bool modern);
    ~FakePortal() override;

    // Takes the portal's name on the bus; false when that failed.
    bool publish();
    // Holds a value without telling anyone.
    void set(const QString& group, const QString& key, const QVariant& value);
    // Holds a value and announces it, as a change on the desktop would.
    void change(const QString& group, const QString& key, const QVariant& value);

public Q_SLOTS:
    QDBusVariant ReadOne(const QString& group, const QString& key, const QDBusMessage& message);
    QDBusVariant Read(const QString& group, const QString& key);

Q_SIGNALS:
    void SettingChanged(const QString& group, const QString& key, const QDBusVariant& value);

private:
    QDBusVariant answer(const QString& group, const QString& key) const;

    bool m_modern;
    bool m_published = false;
    QHash<QString, QVariant> m_values;
};

} // namespace tessaro::test
