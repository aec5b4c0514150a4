// Runs on a private session bus, where the test plays the desktop portal.
#include "platform/gui/desktopappearance.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QPalette>
#include <QSignalSpy>
#include <QTest>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

const QString portalPath = u"/org/freedesktop/portal/desktop"_s;

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
    explicit FakePortal(bool modern)
        : m_modern(modern) {}

    uint scheme = 1;

    void change(uint value) {
        scheme = value;
        Q_EMIT SettingChanged(u"org.freedesktop.appearance"_s, u"color-scheme"_s,
                              QDBusVariant(QVariant::fromValue(value)));
    }

public Q_SLOTS:
    QDBusVariant ReadOne(const QString& group, const QString& key, const QDBusMessage& message) {
        // Replying by hand: the returned value is then not sent.
        if (!m_modern) {
            message.setDelayedReply(true);
            portalBus().send(
                message.createErrorReply(u"org.freedesktop.DBus.Error.UnknownMethod"_s, u"no"_s));
            return {};
        }
        return answer(group, key);
    }
    QDBusVariant Read(const QString& group, const QString& key) {
        return QDBusVariant(QVariant::fromValue(answer(group, key)));
    }

Q_SIGNALS:
    void SettingChanged(const QString& group, const QString& key, const QDBusVariant& value);

private:
    QDBusVariant answer(const QString& group, const QString& key) const {
        if (group != u"org.freedesktop.appearance" || key != u"color-scheme")
            return QDBusVariant(QVariant::fromValue(0u));
        return QDBusVariant(QVariant::fromValue(scheme));
    }

    bool m_modern;
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

class TestDesktopAppearance : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY2(QDBusConnection::sessionBus().isConnected(), "no session bus"); }
    void cleanup() {
        unregisterPortal();
        QGuiApplication::setPalette(QPalette());
    }

    void readsAndFollowsThePortal_data() {
        QTest::addColumn<bool>("modern");
        QTest::newRow("ReadOne") << true;
        QTest::newRow("Read") << false;
    }

    void readsAndFollowsThePortal() {
        QFETCH(bool, modern);
        FakePortal portal(modern);
        QVERIFY(registerPortal(portal));
        DesktopAppearance appearance;
        QSignalSpy changed(&appearance, &SystemAppearance::changed);
        QTRY_VERIFY(appearance.prefersDark());

        portal.change(2);
        QTRY_VERIFY(!appearance.prefersDark());
        portal.change(1);
        QTRY_VERIFY(appearance.prefersDark());
        QCOMPARE(changed.size(), 3);
    }

    void withoutAPortalThePaletteDecides() {
        DesktopAppearance appearance;
        QVERIFY(!appearance.prefersDark());
        QSignalSpy changed(&appearance, &SystemAppearance::changed);
        QPalette dark;
        dark.setColor(QPalette::Window, Qt::black);
        QGuiApplication::setPalette(dark);
        QTRY_VERIFY(appearance.prefersDark());
        QGuiApplication::setPalette(QPalette());
        QTRY_VERIFY(!appearance.prefersDark());
        QCOMPARE(changed.size(), 2);
    }

    void noPreferenceFallsBackToThePalette() {
        QPalette dark;
        dark.setColor(QPalette::Window, QColor(u"#202020"_s));
        QGuiApplication::setPalette(dark);
        FakePortal portal(true);
        portal.scheme = 2;
        QVERIFY(registerPortal(portal));
        DesktopAppearance appearance;
        // The palette speaks until the portal answers; its answer wins.
        QVERIFY(appearance.prefersDark());
        QTRY_VERIFY(!appearance.prefersDark());
        portal.change(0);
        QTRY_VERIFY(appearance.prefersDark());
    }
};

QTEST_MAIN(TestDesktopAppearance)
#include "tst_desktopappearance.moc"
