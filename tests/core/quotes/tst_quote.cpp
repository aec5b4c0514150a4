#include "quotes/quotecollection.h"

#include <QTest>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

Quote quote(const QString& id, const QString& text, Date at, const QString& source = {},
            std::optional<QString> url = {}) {
    return {id, text, source, std::move(url), at};
}

QStringList ids(const QList<Quote>& quotes) {
    QStringList result;
    for (const Quote& q : quotes)
        result.append(q.id);
    return result;
}

} // namespace

class TestQuote : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanLink_data() {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("expected");
        QTest::newRow("trimmed") << u"  http://example.com\n"_s << u"http://example.com"_s;
        QTest::newRow("ftp") << u"ftp://example.com"_s << QString();
        QTest::newRow("javascript") << u"javascript:alert(1)"_s << QString();
        QTest::newRow("no scheme") << u"example.com"_s << QString();
        QTest::newRow("inner space") << u"https://exa mple.com"_s << QString();
    }

    void cleanLink() {
        QFETCH(QString, link);
        QFETCH(QString, expected);
        const auto clean = tessaro::cleanLink(link);
        QCOMPARE(clean.value_or(QString()), expected);
        QCOMPARE(clean.has_value(), !expected.isEmpty());
        QCOMPARE(tessaro::cleanLink(std::nullopt), std::nullopt);
    }

    void sanitizedCutsInUserPerceivedCharacters() {
        // "e" with a combining accent is one character of two code units.
        const QString accented = u"e\u0301"_s;
        QString long700 = QString(u"x"_s).repeated(200) + accented.repeated(500);
        auto clean = quote(QString(u"i"_s).repeated(50), u"  "_s + long700 + u"\n"_s, 1,
                           QString(u"s"_s).repeated(130))
                         .sanitized();
        QVERIFY(clean);
        QCOMPARE(clean->text, QString(u"x"_s).repeated(200) + accented.repeated(300));
        QCOMPARE(clean->id.size(), 40);
        QCOMPARE(clean->source.size(), 120);

        QCOMPARE(quote(u"a"_s, u" \n\t "_s, 1).sanitized(), std::nullopt);
        clean = quote(QString(), u"text"_s, 1, {}, u"mailto:x@y.z"_s).sanitized();
        QVERIFY(!clean->id.isEmpty());
        QVERIFY(clean->id != quote(QString(), u"text"_s, 1).sanitized()->id);
        QCOMPARE(clean->url, std::nullopt);
    }

    void normalizeKeepsFirstOfDuplicates() {
        const QList<Quote> quotes{
            quote(u"a"_s, u"one"_s, 10),
            quote(u"a"_s, u"other text, same id"_s, 30),
            quote(u"b"_s, u"one"_s, 20, u"a source"_s),          // same text, no link: duplicate
            quote(u"c"_s, u"one"_s, 20, {}, u"https://x.org"_s), // same text, a link: not one
            quote(u"d"_s, u"  "_s, 40),
            quote(u"e"_s, u"two"_s, 10),
        };
        const QList<Quote> normal = normalizeQuotes(quotes);
        QCOMPARE(ids(normal), (QStringList{u"c"_s, u"a"_s, u"e"_s}));
        QCOMPARE(normalizeQuotes(normal), normal);
    }

    void addQuoteRefusesRecentDuplicates() {
        QList<Quote> collection;
        for (int i = 0; i < 150; ++i)
            collection.append(quote(QString::number(i), u"text "_s + QString::number(i), 1000 - i));

        QCOMPARE(addQuote(collection, u"   "_s, {}, {}, 2000), std::nullopt);
        QCOMPARE(addQuote(collection, u"text 5"_s, u"other source"_s, {}, 2000), std::nullopt);

        // Same text with a link is a different quote.
        auto added = addQuote(collection, u"text 5"_s, {}, u"https://x.org"_s, 2000);
        QVERIFY(added);
        QCOMPARE(added->size(), 151);
        QCOMPARE(added->first().at, 2000.0);

        // An old duplicate moves to the top under a new id.
        added = addQuote(collection, u" text 120 "_s, u"src"_s, {}, 2000);
        QVERIFY(added);
        QCOMPARE(added->size(), 150);
        QCOMPARE(added->first().text, u"text 120"_s);
        QVERIFY(added->first().id != u"120"_s);
        QVERIFY(!ids(*added).contains(u"120"_s));
    }

    // The quotes sheet's test sees new quotes counted and nothing new
    // refused; putting the collection back in order is a change too, with
    // nothing added.
    void reorderingIsAChangeWithNothingAdded() {
        const auto result =
            importQuotes({quote(u"a"_s, u"older"_s, 1), quote(u"b"_s, u"newer"_s, 2)},
                         {quote(u"c"_s, u"older"_s, 3)});
        QCOMPARE(result.added, 0);
        QVERIFY(result.collection);
        QCOMPARE(ids(*result.collection), (QStringList{u"b"_s, u"a"_s}));
    }
};

QTEST_GUILESS_MAIN(TestQuote)
#include "tst_quote.moc"
