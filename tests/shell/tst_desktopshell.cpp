#include "l10n/localization.h"
#include "shell/desktopshell.h"
#include "shell/keeper.h"
#include "support/scratchstore.h"
#include "support/scriptedservices.h"
#include "ui/common/toasts.h"
#include "ui/window/mainwindow.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

// The window with a stand-in quotes sheet, hidden as after a start in the
// background, and the shell over it.
struct Desktop {
    test::ScratchStore scratch;
    test::ScriptedClipboard clipboard;
    Keeper keeper{scratch.store};
    MainWindow window{scratch.store, nullptr, [](ContentView& content) {
                          content.setSheet(ContentView::Sheet::quotes, u"quotes.title"_s,
                                           [](auto) { return new QLabel(u"quotes"_s); });
                      }};
    DesktopShell shell{window, keeper, clipboard};

    QDialog* openSheet() const {
        const auto dialogs = window.findChildren<QDialog*>();
        for (QDialog* dialog : dialogs)
            if (dialog->isVisible())
                return dialog;
        return nullptr;
    }
    std::optional<QString> toast() const { return window.content()->toasts().text(); }
};

LaunchRequest request(LaunchRequest::Kind kind, const QString& link = {}, bool background = false) {
    LaunchRequest request;
    request.kind = kind;
    if (!link.isEmpty())
        request.links.append(QUrl(link));
    if (kind == LaunchRequest::Kind::action)
        request.action = keepClipboardAction;
    request.background = background;
    return request;
}

} // namespace

class TestDesktopShell : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // What a first start shows: nothing in the background or for kept
    // text, the window for a plain start or a link it cannot take.
    void firstStart_data() {
        QTest::addColumn<LaunchRequest>("launch");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<int>("quotes");
        QTest::newRow("plain") << request(LaunchRequest::Kind::activate) << true << 0;
        QTest::newRow("background")
            << request(LaunchRequest::Kind::activate, {}, true) << false << 0;
        QTest::newRow("keep link")
            << request(LaunchRequest::Kind::open, u"tessaro://keep?q=Hi"_s) << false << 1;
        QTest::newRow("other link")
            << request(LaunchRequest::Kind::open, u"tessaro://nothing"_s) << true << 0;
    }

    void firstStart() {
        QFETCH(LaunchRequest, launch);
        QFETCH(bool, shown);
        QFETCH(int, quotes);
        Desktop desktop;
        desktop.shell.handle(launch, true);
        QCOMPARE(desktop.window.isVisible(), shown);
        QCOMPARE(desktop.scratch.store.quotes().size(), quotes);
    }

    // The desktop action keeps the clipboard's text and says so over the
    // window; a blank clipboard gets the reason instead.
    void keepClipboard() {
        Desktop desktop;
        desktop.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&desktop.window));
        desktop.clipboard.content = u"  "_s;
        desktop.shell.handle(request(LaunchRequest::Kind::action));
        QCOMPARE(desktop.toast(), std::optional(L(u"quotes.placeholder"_s)));

        desktop.clipboard.content = u"From the clipboard"_s;
        desktop.shell.handle(request(LaunchRequest::Kind::action));
        QTRY_COMPARE(desktop.scratch.store.quotes().size(), 1);
        QCOMPARE(desktop.scratch.store.quotes().first().text, u"From the clipboard"_s);
        QCOMPARE(desktop.toast(), std::optional(L(u"quotes.saved"_s)));
    }

    // A request left while the window was hidden is not served when the
    // window comes later for another reason. Closing quits only when
    // nothing can bring the window back.
    void staleRequestAndClosing() {
        Desktop desktop;
        QSignalSpy quit(&desktop.shell, &DesktopShell::quitRequested);
        bool canReturn = true;
        desktop.shell.setQuitOnClose([&canReturn] { return !canReturn; });
        desktop.keeper.setWantsQuotes(true);
        desktop.keeper.bringToFront(false);
        QVERIFY(desktop.window.isVisible());
        QVERIFY(!desktop.openSheet());
        desktop.window.close();
        QVERIFY(!desktop.window.isVisible());
        QCOMPARE(quit.count(), 0);
        canReturn = false;
        desktop.window.show();
        desktop.window.close();
        QCOMPARE(quit.count(), 1);
    }
};

QTEST_MAIN(TestDesktopShell)
#include "tst_desktopshell.moc"
