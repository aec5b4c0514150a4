#include "l10n/localization.h"
#include "shell/keeper.h"
#include "support/scratchstore.h"

#include <QSignalSpy>
#include <QTest>
#include <QUrl>

using namespace tessaro;
using namespace Qt::StringLiterals;

class TestKeeper : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The sender of a line hears back at once; the quote lands in a later
    // turn, and a blank text gets the error to show instead.
    void keepLineAndKeepLink() {
        test::ScratchStore scratch;
        Keeper keeper(scratch.store);
        QSignalSpy kept(&keeper, &Keeper::kept);

        QCOMPARE(keeper.keepLine(u" \n\t"_s, u"Editor"_s), L(u"quotes.placeholder"_s));
        QCOMPARE(keeper.keepLine(u"Less is more"_s, u"Editor"_s), QString());
        QVERIFY(scratch.store.quotes().isEmpty());
        QTRY_COMPARE(scratch.store.quotes().size(), 1);
        QCOMPARE(scratch.store.quotes().first().source, u"Editor"_s);
        QCOMPARE(keeper.lastKept(), std::optional(u"Less is more"_s));
        QCOMPARE(kept.count(), 1);

        // A quote the store already holds is refused and changes nothing.
        QVERIFY(!keeper.keepFromServices(u"Less is more"_s, u"Other"_s));
        QCOMPARE(kept.count(), 1);

        // What a keep link says reaches the store (how it is read is the keep
        // link's own test); any other link keeps nothing.
        QVERIFY(!keeper.openLink(QUrl(u"tessaro://share?q=x"_s)));
        QCOMPARE(scratch.store.quotes().size(), 1);
        QVERIFY(keeper.openLink(
            QUrl(u"tessaro://keep?text=second&q=first&src=S&url=%20https://a.example/x%20"_s)));
        const Quote& quote = scratch.store.quotes().first();
        QCOMPARE(quote.text, u"first"_s);
        QCOMPARE(quote.source, u"S"_s);
        QCOMPARE(quote.url, std::optional(u"https://a.example/x"_s));
    }
};

QTEST_GUILESS_MAIN(TestKeeper)
#include "tst_keeper.moc"
