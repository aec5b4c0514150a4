// Runs on a private session bus, where the test plays the desktop portal.
#include "platform/gui/desktopappearance.h"
#include "support/fakeportal.h"

#include <QDBusConnection>
#include <QGuiApplication>
#include <QPalette>
#include <QSignalSpy>
#include <QTest>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

using test::FakePortal;

const QString group = u"org.freedesktop.appearance"_s;
const QString key = u"color-scheme"_s;

} // namespace

class TestDesktopAppearance : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY2(QDBusConnection::sessionBus().isConnected(), "no session bus"); }
    void cleanup() { QGuiApplication::setPalette(QPalette()); }

    void readsAndFollowsThePortal_data() {
        QTest::addColumn<bool>("modern");
        QTest::newRow("ReadOne") << true;
        QTest::newRow("Read") << false;
    }

    void readsAndFollowsThePortal() {
        QFETCH(bool, modern);
        FakePortal portal(modern);
        portal.set(group, key, 1u);
        QVERIFY(portal.publish());
        DesktopAppearance appearance;
        QSignalSpy changed(&appearance, &SystemAppearance::changed);
        QTRY_VERIFY(appearance.prefersDark());

        portal.change(group, key, 2u);
        QTRY_VERIFY(!appearance.prefersDark());
        portal.change(group, key, 1u);
        QTRY_VERIFY(appearance.prefersDark());
        QCOMPARE(changed.size(), 3);
    }

    void noPreferenceFallsBackToThePalette() {
        QPalette dark;
        dark.setColor(QPalette::Window, QColor(u"#202020"_s));
        QGuiApplication::setPalette(dark);
        FakePortal portal(true);
        portal.set(group, key, 2u);
        QVERIFY(portal.publish());
        DesktopAppearance appearance;
        // The palette speaks until the portal answers; its answer wins.
        QVERIFY(appearance.prefersDark());
        QTRY_VERIFY(!appearance.prefersDark());
        portal.change(group, key, 0u);
        QTRY_VERIFY(appearance.prefersDark());
    }
};

QTEST_MAIN(TestDesktopAppearance)
#include "tst_desktopappearance.moc"
