// Runs on a private session bus, where the test plays the desktop portal.
#include "platform/gui/desktopmotion.h"
#include "support/fakeportal.h"

#include <QDBusConnection>
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

using test::FakePortal;

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

} // namespace

class TestDesktopMotion : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY2(QDBusConnection::sessionBus().isConnected(), "no session bus"); }

    // The older Read is tried with the appearance's portal: the reading is shared.
    void readsAndFollowsThePortal() {
        FakePortal portal(true);
        portal.set(group, key, false);
        QVERIFY(portal.publish());
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
