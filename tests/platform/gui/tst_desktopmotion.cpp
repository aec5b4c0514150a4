// Runs on a private session bus, where the test plays the desktop portal.
#include "platform/gui/desktopmotion.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QSignalSpy>
#include <QTest>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

const QString portalPath = u"/org/freedesktop/portal/desktop"_s;
const QString group = u"org.gnome.desktop.interface"_s;
const QString key = u"enable-animations"_s;

// The portal has a connection of its own, as a separate process would.
QDBusConnection portalBus() {
    return QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"portal"_s);
}

// The portal's settings: `ReadOne`, or only the older `Read` that wraps the
// value in one more variant.
class FakePortal : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")

public:
    explicit FakePortal(bool modern, QVariant animations)
        : m_modern(modern)
        , m_animations(std::move(animations)) {}

    void change(const QString& changedGroup, const QString& changedKey, const QVariant& value) {
        if (changedGroup == group && changedKey == key)
            m_animations = value;
        Q_EMIT SettingChanged(changedGroup, changedKey, QDBusVariant(value));
    }

public Q_SLOTS:
    QDBusVariant ReadOne(const QString& readGroup, const QString& readKey,
                         const QDBusMessage& message) {
        if (!m_modern) {
            // Replying by hand: the returned value is then not sent.
            message.setDelayedReply(true);
            portalBus().send(
                message.createErrorReply(u"org.freedesktop.DBus.Error.UnknownMethod"_s, u"no"_s));
            return {};
        }
        return answer(readGroup, readKey);
    }
    QDBusVariant Read(const QString& readGroup, const QString& readKey) {
        return QDBusVariant(QVariant::fromValue(answer(readGroup, readKey)));
    }

Q_SIGNALS:
    void SettingChanged(const QString& group, const QString& key, const QDBusVariant& value);

private:
    QDBusVariant answer(const QString& readGroup, const QString& readKey) const {
        if (readGroup != group || readKey != key)
            return QDBusVariant(QVariant::fromValue(0u));
        return QDBusVariant(m_animations);
    }

    bool m_modern;
    QVariant m_animations;
};

// Hears the portal's signals on the program's connection, after the
// program has.
class Listener : public QObject {
    Q_OBJECT

public:
    Listener() {
        QDBusConnection::sessionBus().connect(
            u"org.freedesktop.portal.Desktop"_s, portalPath, u"org.freedesktop.portal.Settings"_s,
            u"SettingChanged"_s, this, SLOT(settingChanged(QString, QString, QDBusVariant)));
    }
    int heard = 0;

public Q_SLOTS:
    void settingChanged(const QString&, const QString&, const QDBusVariant&) { ++heard; }
};

bool registerPortal(FakePortal& portal) {
    QDBusConnection bus = portalBus();
    return bus.registerService(u"org.freedesktop.portal.Desktop"_s) &&
           bus.registerObject(portalPath, &portal,
                              QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals);
}

void unregisterPortal() {
    QDBusConnection bus = portalBus();
    bus.unregisterObject(portalPath);
    bus.unregisterService(u"org.freedesktop.portal.Desktop"_s);
}

} // namespace

class TestDesktopMotion : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY2(QDBusConnection::sessionBus().isConnected(), "no session bus"); }
    void cleanup() { unregisterPortal(); }

    void readsAndFollowsThePortal_data() {
        QTest::addColumn<bool>("modern");
        QTest::newRow("ReadOne") << true;
        QTest::newRow("Read") << false;
    }

    void readsAndFollowsThePortal() {
        QFETCH(bool, modern);
        FakePortal portal(modern, false);
        QVERIFY(registerPortal(portal));
        DesktopMotion motion;
        QSignalSpy changed(&motion, &MotionPreference::changed);
        QTRY_VERIFY(motion.reduceMotion());

        portal.change(group, key, true);
        QTRY_VERIFY(!motion.reduceMotion());
        // Other settings, and values that are not booleans, say nothing.
        Listener listener;
        portal.change(u"org.freedesktop.appearance"_s, key, false);
        portal.change(group, u"cursor-size"_s, false);
        portal.change(group, key, 0u);
        QTRY_COMPARE(listener.heard, 3);
        QVERIFY(!motion.reduceMotion());
        portal.change(group, key, false);
        QTRY_VERIFY(motion.reduceMotion());
        QCOMPARE(changed.size(), 3);
    }

    void withoutAPortalMotionStaysOn() {
        DesktopMotion motion;
        QSignalSpy changed(&motion, &MotionPreference::changed);
        // Both reads have been answered, with errors, once their watchers are gone.
        QTRY_VERIFY(motion.findChildren<QDBusPendingCallWatcher*>().isEmpty());
        QVERIFY(!motion.reduceMotion());
        QCOMPARE(changed.size(), 0);
    }
};

QTEST_GUILESS_MAIN(TestDesktopMotion)
#include "tst_desktopmotion.moc"
