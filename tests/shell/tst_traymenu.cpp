#include "l10n/localization.h"
#include "shell/keeper.h"
#include "shell/traymenu.h"
#include "support/languages.h"
#include "support/scratchstore.h"

#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QWidgetAction>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

// The menu as a reader sees it: each row's text, "-" for a divider and
// "[pen]" for the preview.
QStringList rows(const QMenu& menu) {
    QStringList texts;
    for (const QAction* action : menu.actions()) {
        if (action->isSeparator())
            texts.append(u"-"_s);
        else if (qobject_cast<const QWidgetAction*>(action) || !action->icon().isNull())
            texts.append(u"[pen]"_s);
        else
            texts.append(action->text());
    }
    return texts;
}

QAction* row(const QMenu& menu, const QString& text) {
    for (QAction* action : menu.actions())
        if (action->text() == text)
            return action;
    return nullptr;
}

struct Tray {
    test::InstalledLanguage language;
    test::ScratchStore scratch;
    Keeper keeper{scratch.store};
    TrayMenu tray;

    explicit Tray(TrayMenu::Rows kind = TrayMenu::Rows::drawn)
        : tray(scratch.store, keeper, kind) {
        language.manager.setCode(u"en"_s);
    }
    QStringList rows() const { return ::rows(*tray.menu()); }
};

} // namespace

class TestTrayMenu : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Empty, the menu says so on a row that does nothing; then it shows the
    // newest five quotes on one line each, and an ampersand stays one.
    void menuFollowsTheCollectionAndBringsTheWindow() {
        Tray tray;
        QCOMPARE(tray.rows(), (QStringList{u"[pen]"_s, u"-"_s, L(u"quotes.phoneEmpty"_s), u"-"_s,
                                           L(u"mac.menubar.open"_s), L(u"linux.menu.quit"_s)}));
        QVERIFY(!row(*tray.tray.menu(), L(u"quotes.phoneEmpty"_s))->isEnabled());
        for (int i = 1; i <= 8; ++i)
            QVERIFY(tray.scratch.store.addQuote(u"Quote %1\nline & more"_s.arg(i), {}, {}));
        const QStringList rows = tray.rows();
        QCOMPARE(rows.mid(2, 5), (QStringList{u"Quote 8 line && more"_s, u"Quote 7 line && more"_s,
                                              u"Quote 6 line && more"_s, u"Quote 5 line && more"_s,
                                              u"Quote 4 line && more"_s}));
        QCOMPARE(rows.size(), 2 + 5 + 3);

        // Open brings the window; a quote's row brings it with the quotes.
        QSignalSpy front(&tray.keeper, &Keeper::frontRequested);
        QSignalSpy quit(&tray.tray, &TrayMenu::quitRequested);
        row(*tray.tray.menu(), L(u"mac.menubar.open"_s))->trigger();
        QCOMPARE(front.count(), 1);
        QVERIFY(!tray.keeper.wantsQuotes());
        row(*tray.tray.menu(), u"Quote 8 line && more"_s)->trigger();
        QCOMPARE(front.count(), 2);
        QVERIFY(tray.keeper.wantsQuotes());
        row(*tray.tray.menu(), L(u"linux.menu.quit"_s))->trigger();
        QCOMPARE(quit.count(), 1);
    }
};

QTEST_MAIN(TestTrayMenu)
#include "tst_traymenu.moc"
