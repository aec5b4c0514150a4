#include "appearance/appearancemanager.h"
#include "platform/systemappearance.h"
#include "support/memorypreferences.h"

#include <QSignalSpy>
#include <QTest>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

const QString appearanceKey = u"app.appearance"_s;

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
    void cleanup() { QCOMPARE(AppearanceManager::shared(), nullptr); }

    // The stored mode decides, compared exactly. Following the system, the
    // interface turns with the desktop; a forced mode holds.
    void storedModeDecides_data() {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<bool>("desktopDark");
        QTest::addColumn<std::optional<ColourScheme>>("scheme");
        QTest::addColumn<bool>("dark");
        const std::optional<ColourScheme> none;
        QTest::newRow("nothing stored") << QVariant() << true << none << true;
        QTest::newRow("system") << QVariant(QString()) << false << none << false;
        QTest::newRow("light on a dark desktop")
            << QVariant(u"light"_s) << true << std::optional(ColourScheme::light) << false;
        QTest::newRow("dark on a light desktop")
            << QVariant(u"dark"_s) << false << std::optional(ColourScheme::dark) << true;
        // The comparison is exact: anything else follows the desktop.
        QTest::newRow("Dark") << QVariant(u"Dark"_s) << false << none << false;
    }

    void storedModeDecides() {
        QFETCH(QVariant, stored);
        QFETCH(bool, desktopDark);
        QFETCH(std::optional<ColourScheme>, scheme);
        QFETCH(bool, dark);
        test::MemoryPreferences preferences;
        if (stored.isValid())
            preferences.setValue(appearanceKey, stored);
        FakeDesktop desktop;
        desktop.dark = desktopDark;
        AppearanceManager manager(preferences);
        manager.setSystemAppearance(&desktop);
        QCOMPARE(manager.mode(), stored.toString());
        QCOMPARE(manager.scheme(), scheme);
        QCOMPARE(manager.isDark(), dark);
        QSignalSpy turned(&manager, &AppearanceManager::appearanceChanged);
        desktop.set(!desktopDark);
        QCOMPARE(manager.isDark(), scheme ? dark : !desktopDark);
        QCOMPARE(turned.size(), scheme ? 0 : 1);
    }
};

QTEST_GUILESS_MAIN(TestAppearanceManager)
#include "tst_appearancemanager.moc"
