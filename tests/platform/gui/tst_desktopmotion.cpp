// Runs on a private session bus, where the test plays the desktop portal.
#include "platform/gui/desktopmotion.h"
#include "support/fakeportal.h"

#include <QDBusConnection>
#include <QDBusPendingCallWatcher>
#include <QSignalSpy>
#include <QTest>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

const QString group = u"org.gnome.desktop.interface"_s;
const QString key = u"enable-animations"_s;

using test::FakePortal;

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
