#include "appearance/appearancemanager.h"
#include "l10n/languagemanager.h"
#include "l10n/localization.h"
#include "store/cloudsettings.h"
#include "support/memorypreferences.h"
#include "support/scratchstore.h"
#include "support/scriptedservices.h"
#include "ui/common/ghostbutton.h"
#include "ui/settings/settingssheet.h"

#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

using namespace tessaro;
using namespace tessaro::test;
using namespace Qt::StringLiterals;

namespace {

class FakeCloud final : public CloudSettings {
public:
    CloudStatus status() const override { return current; }
    void refresh() override { ++refreshes; }
    void chooseFolder(const QString& folder) override { chosen.append(folder); }
    void set(const CloudStatus& status) {
        current = status;
        Q_EMIT statusChanged();
    }

    CloudStatus current{CloudStatus::Kind::folder, u"/home/me/Sync/Tessaro"_s, true, false};
    int refreshes = 0;
    QStringList chosen;
};

struct Managers {
    test::MemoryPreferences standard;
    test::MemoryPreferences group;
    LanguageManager language{standard, group};
    LanguageManager::Installation languageInstalled{language};
    AppearanceManager appearance{standard};
    AppearanceManager::Installation appearanceInstalled{appearance};
};

struct SettingsWindow {
    test::ScratchStore scratch;
    FakeCloud cloud;
    ScriptedDialogs dialogs;
    RecordingUrls urls;
    SettingsSheet sheet;

    explicit SettingsWindow(PenStore* store = nullptr)
        : sheet(store ? *store : scratch.store, cloud, dialogs, urls) {
        sheet.resize(720, 900);
        sheet.show();
        QVERIFY(QTest::qWaitForWindowExposed(&sheet));
    }
};

// Opens the button's menu with the pointer; the menu's rows, label and tick.
QList<std::pair<QString, bool>> openMenu(ChoiceMenuButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
    QList<std::pair<QString, bool>> rows;
    if (!QTest::qWaitFor([button] { return button->menu() && button->menu()->isVisible(); }))
        return rows;
    for (const QAction* action : button->menu()->actions())
        rows.append({action->text(), action->isChecked()});
    return rows;
}

// Chooses the row labelled `label` in the open menu with the pointer.
bool choose(ChoiceMenuButton* button, const QString& label) {
    QMenu* menu = button->menu();
    if (!menu)
        return false;
    for (QAction* action : menu->actions()) {
        if (action->text() != label)
            continue;
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
        return true;
    }
    return false;
}

QStringList ticked(const QList<std::pair<QString, bool>>& rows) {
    QStringList labels;
    for (const auto& [label, checked] : rows)
        if (checked)
            labels.append(label);
    return labels;
}

} // namespace

class TestSettingsSheet : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A stored language the menu does not know ticks nothing; a choice is
    // stored, ticked and spoken at once. The appearance menu works alike.
    void menusChooseAndTick() {
        Managers managers;
        managers.language.setCode(u"xx"_s);
        SettingsWindow w;
        ChoiceMenuButton* button = w.sheet.languageButton();
        QCOMPARE(button->text(), u"xx"_s);
        auto rows = openMenu(button);
        QCOMPARE(rows.size(), 29);
        QCOMPARE(ticked(rows), QStringList());
        QVERIFY(choose(button, u"Norsk"_s));
        QCOMPARE(managers.language.code(), u"no"_s);
        QCOMPARE(managers.standard.value(u"app.language"_s).toString(), u"no"_s);
        QCOMPARE(button->text(), u"Norsk"_s);
        QTRY_VERIFY(!button->menu());
        rows = openMenu(button);
        QCOMPARE(ticked(rows), QStringList{u"Norsk"_s});
        QVERIFY(rows.first().first != u"System Language"_s);
        button->menu()->close();

        button = w.sheet.appearanceButton();
        QCOMPARE(ticked(openMenu(button)), QStringList{L(u"ios.appearance.system"_s)});
        QVERIFY(choose(button, L(u"ios.appearance.dark"_s)));
        QCOMPARE(managers.appearance.mode(), u"dark"_s);
        QCOMPARE(button->text(), L(u"ios.appearance.dark"_s));
    }

    // The chooser starts at the current folder; the status line follows
    // the cloud's state.
    void cloudStatusAndFolder() {
        SettingsWindow w;
        QCOMPARE(w.cloud.refreshes, 1);
        QTest::mouseClick(w.sheet.chooseFolderButton(), Qt::LeftButton);
        QCOMPARE(w.dialogs.asked, QStringList{u"/home/me/Sync/Tessaro"_s});
        QCOMPARE(w.cloud.chosen, QStringList());
        w.dialogs.answer = u"/media/usb/Tessaro"_s;
        QTest::mouseClick(w.sheet.chooseFolderButton(), Qt::LeftButton);
        QCOMPARE(w.cloud.chosen, QStringList{u"/media/usb/Tessaro"_s});
        QVERIFY(!w.sheet.cloudFixed()->isVisible());

        w.cloud.set({CloudStatus::Kind::folder, u"place"_s, false, false});
        QVERIFY(w.sheet.cloudStatus()->isVisible());
        QCOMPARE(w.sheet.cloudStatus()->text(), L(u"settings.icloudOff"_s));
        QCOMPARE(w.sheet.cloudPlace()->text(), u"place"_s);
        w.cloud.set({CloudStatus::Kind::redis, u"server"_s, true, false});
        QCOMPARE(w.sheet.cloudStatus()->text(), L(u"settings.redisOn"_s));
        QCOMPARE(w.sheet.cloudPlace()->text(), u"server"_s);
        // Not yet looked at: no status line at all.
        w.cloud.set({CloudStatus::Kind::redis, u"server"_s, std::nullopt, false});
        QVERIFY(!w.sheet.cloudStatus()->isVisible());

        // TESSARO_CLOUD decides: nothing to choose.
        w.cloud.set({CloudStatus::Kind::folder, u"/fixed"_s, true, true});
        QVERIFY(!w.sheet.chooseFolderButton()->isEnabled());
        QVERIFY(w.sheet.cloudFixed()->isVisible());
        QTest::mouseClick(w.sheet.chooseFolderButton(), Qt::LeftButton);
        QCOMPARE(w.dialogs.asked.size(), 2);
    }

    void truncationLineCounts() {
        test::ScratchStore scratch;
        QTemporaryDir folder;
        PenStore::Environment environment = scratch.environment();
        environment.dataFolder = folder.path();
        environment.pushDelayMs = 0;
        PenStore store(environment);
        SettingsWindow w(&store);
        QVERIFY(!w.sheet.truncation()->isVisible());
        // 500 quotes of 490 four-byte characters cannot all go to the cloud.
        QList<Quote> many;
        for (int i = 0; i < 500; ++i) {
            const QString text = QString::number(i) + QString(u"😀"_s).repeated(490);
            many.append({QString::number(i), text, {}, {}, double(i)});
        }
        store.importQuotes(many);
        QTRY_VERIFY(w.sheet.truncation()->isVisible());
        const QString count = QString::number(store.cloudTruncatedCount());
        QVERIFY(w.sheet.truncation()->text().contains(count));
    }
};

QTEST_MAIN(TestSettingsSheet)
#include "tst_settingssheet.moc"
