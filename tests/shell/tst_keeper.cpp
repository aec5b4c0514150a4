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
    // The sender hears back at once; the quote lands in a later turn, and
    // a blank text gets the error to show instead.
    void keepLineAnswersFirstThenKeeps() {
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
    }

    void keepLinks_data() {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("url");
        QTest::newRow("text, source and link")
            << u"tessaro://keep?text=second&q=first&src=S&url=%20https://a.example/x%20"_s
            << u"first"_s << u"S"_s << u"https://a.example/x"_s;
        QTest::newRow("not a keep link") << u"tessaro://share?q=x"_s << QString() << QString()
                                         << QString();
    }

    void keepLinks() {
        QFETCH(QString, link);
        QFETCH(QString, text);
        QFETCH(QString, source);
        QFETCH(QString, url);
        test::ScratchStore scratch;
        Keeper keeper(scratch.store);
        QCOMPARE(keeper.openLink(QUrl(link)), !text.isEmpty());
        if (text.isEmpty()) {
            QVERIFY(scratch.store.quotes().isEmpty());
            return;
        }
        const Quote& quote = scratch.store.quotes().first();
        QCOMPARE(quote.text, text);
        QCOMPARE(quote.source, source);
        QCOMPARE(quote.url.value_or(QString()), url);
    }

    // Asked again before the first ask was served: heard again. (What the
    // window does with it is the desktop shell's test.)
    void repeatedAskIsHeardAgain() {
        test::ScratchStore scratch;
        Keeper keeper(scratch.store);
        QSignalSpy wants(&keeper, &Keeper::wantsQuotesChanged);
        keeper.bringToFront(true);
        keeper.bringToFront(true);
        QCOMPARE(wants.count(), 2);
    }
};

QTEST_GUILESS_MAIN(TestKeeper)
#include "tst_keeper.moc"
