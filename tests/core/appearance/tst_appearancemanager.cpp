#include "appearance/appearancemanager.h"
#include "platform/systemappearance.h"
#include "support/memorypreferences.h"

#include <QSignalSpy>
#include <QTest>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

class FakeDesktop final : public SystemAppearance {
public:
    bool prefersDark() const override { return dark; }
    void set(bool value) {
        dark = value;
        Q_EMIT changed();
    }
    bool dark = false;
};

} // namespace

class TestAppearanceManager : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void followsTheDesktopUnlessForced() {
        test::MemoryPreferences preferences;
        FakeDesktop desktop;
        AppearanceManager manager(preferences);
        manager.setSystemAppearance(&desktop);
        QCOMPARE(manager.mode(), QString());
        QCOMPARE(manager.scheme(), std::nullopt);
        QVERIFY(!manager.isDark());

        QSignalSpy turned(&manager, &AppearanceManager::appearanceChanged);
        desktop.set(true);
        QCOMPARE(turned.size(), 1);
        QVERIFY(manager.isDark());
        QCOMPARE(manager.colour(interfacePalette().background), rgbFromHex(u"#2B211C"));

        // Light chosen while the desktop is dark: every colour is the light one.
        manager.setMode(u"light"_s);
        QCOMPARE(manager.scheme(), std::optional(ColourScheme::light));
        QCOMPARE(turned.size(), 2);
        QCOMPARE(manager.colour(interfacePalette().background), rgbFromHex(u"#FFF8F0"));
        QCOMPARE(manager.colour(interfacePalette().accentText), rgbFromHex(u"#6B3A4A"));
        desktop.set(false);
        desktop.set(true);
        QCOMPARE(turned.size(), 2);
        QCOMPARE(preferences.value(u"app.appearance"_s).toString(), u"light"_s);
    }

    void unknownValuesFollowTheDesktop() {
        test::MemoryPreferences preferences;
        preferences.setValue(u"app.appearance"_s, u"Dark"_s);
        FakeDesktop desktop;
        AppearanceManager manager(preferences);
        manager.setSystemAppearance(&desktop);
        QCOMPARE(manager.mode(), u"Dark"_s);
        QCOMPARE(manager.scheme(), std::nullopt);
        QVERIFY(!manager.isDark());

        QSignalSpy modes(&manager, &AppearanceManager::modeChanged);
        manager.setMode(QString());
        QCOMPARE(modes.size(), 1);
        QVERIFY(preferences.value(u"app.appearance"_s).isValid());
        QCOMPARE(preferences.value(u"app.appearance"_s).toString(), QString());

        // Without a desktop to ask, the interface is light.
        manager.setSystemAppearance(nullptr);
        QVERIFY(!manager.isDark());
        manager.setMode(u"dark"_s);
        QVERIFY(manager.isDark());
    }

    void options() {
        test::MemoryPreferences preferences;
        AppearanceManager manager(preferences);
        const auto options = manager.appearanceOptions();
        QCOMPARE(options.size(), 3);
        QCOMPARE(options[0].first, QString());
        QCOMPARE(options[1].first, u"light"_s);
        QCOMPARE(options[2].first, u"dark"_s);
        QVERIFY(!options[2].second.isEmpty());
        QCOMPARE(interfacePalette().textStrong.dark, interfacePalette().textMain.dark);
    }
};

QTEST_GUILESS_MAIN(TestAppearanceManager)
#include "tst_appearancemanager.moc"
