#include "l10n/localization.h"
#include "quotes/isodate.h"
#include "quotes/quotecollection.h"
#include "quotes/quoteexport.h"
#include "quotes/quoteimport.h"

#include <QRandomGenerator>
#include <QTest>

#include <cmath>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

constexpr Date now = 800000000;

struct Expected {
    QString text;
    QString source;
    QString url;
};

void compareQuotes(const QList<Quote>& quotes, const QList<Expected>& expected) {
    QCOMPARE(quotes.size(), expected.size());
    for (qsizetype i = 0; i < quotes.size(); ++i) {
        QCOMPARE(quotes[i].text, expected[i].text);
        QCOMPARE(quotes[i].source, expected[i].source);
        QCOMPARE(quotes[i].url.value_or(QString()), expected[i].url);
    }
}

// Ordinary prose: words and punctuation in lines, lines in paragraphs
// parted by blank lines. No line reads as an attribution or a separator.
class Prose {
public:
    explicit Prose(quint32 seed)
        : m_random(seed) {}

    QString words(int least, int most) {
        static const QStringList vocabulary{
            u"light"_s, u"the"_s,  u"river"_s, u"keeps"_s, u"Ünter"_s, u"café"_s,  u"and"_s,
            u"so"_s,    u"we"_s,   u"walk"_s,  u"1984"_s,  u"naïve"_s, u"東京"_s,  u"it's"_s,
            u"a"_s,     u"long"_s, u"way"_s,   u"home"_s,  u"100%"_s,  u"«oui»"_s, u"x-ray"_s};
        static const QStringList marks{u""_s,  u""_s,  u""_s,  u","_s, u"."_s,  u";"_s,
                                       u"!"_s, u"?"_s, u":"_s, u"…"_s, u" —"_s, u" ·"_s};
        QStringList chosen;
        const int count = int(m_random.bounded(least, most + 1));
        for (int i = 0; i < count; ++i)
            chosen.append(pick(vocabulary) + pick(marks));
        return chosen.join(u' ');
    }

    QString text() {
        QStringList paragraphs;
        const int count = int(m_random.bounded(1, 4));
        for (int p = 0; p < count; ++p) {
            QStringList lines;
            const int lineCount = int(m_random.bounded(1, 4));
            for (int l = 0; l < lineCount; ++l)
                lines.append(words(1, 8));
            paragraphs.append(lines.join(u'\n'));
        }
        return paragraphs.join(u"\n\n"_s);
    }

    bool chance(int percent) { return m_random.bounded(100) < percent; }
    QString pick(const QStringList& list) { return list[m_random.bounded(int(list.size()))]; }

private:
    QRandomGenerator m_random;
};

} // namespace

class TestQuoteImport : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Export, then import: random collections of ordinary prose come back
    // with their texts, and the sources and links that were set, in order.
    // A quote exported alone has no separator line to keep its own blank
    // lines from splitting it: the attribution line's date, in any language,
    // marks the export.
    void randomCollectionsRoundTrip() {
        const QList<Language>& languages = languageTable();
        for (quint32 seed = 1; seed <= 300; ++seed) {
            Prose prose(seed);
            QList<Quote> quotes;
            const int count = prose.chance(40) ? 1 : int(1 + seed % 6);
            for (int i = 0; i < count; ++i) {
                Quote quote{QString::number(i), prose.text(), {}, {}, 700000000.0 - i * 86400};
                if (prose.chance(50))
                    quote.source = prose.words(1, 4);
                if (prose.chance(30))
                    quote.url = u"https://example.com/"_s + QString::number(seed * 10 + i);
                quotes.append(quote);
            }
            quotes = normalizeQuotes(quotes);
            const QString language = languages[seed % languages.size()].code;
            const QList<Quote> read = parseQuotesImport(exportText(quotes, language), now);

            const QByteArray seedText = "seed " + QByteArray::number(seed);
            const char* where = seedText.constData();
            QVERIFY2(read.size() == quotes.size(), where);
            for (qsizetype i = 0; i < quotes.size(); ++i) {
                QVERIFY2(read[i].text == quotes[i].text, where);
                QVERIFY2(read[i].url == quotes[i].url, where);
                if (!quotes[i].source.isEmpty())
                    QVERIFY2(read[i].source == quotes[i].source, where);
                else if (quotes[i].url)
                    QVERIFY2(read[i].source.isEmpty(), where);
            }
        }
    }

    void plainText_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QStringList>("expected"); // text|source|url per quote

        QTest::newRow("blank-line paragraphs, late attribution")
            << u"First thought.\n\n— Someone\n\nSecond thought."_s
            << QStringList{u"First thought.|Someone|"_s, u"Second thought.||"_s};
        QTest::newRow("late attribution does not replace a source")
            << u"One.\n(Me)\n\n- You"_s << QStringList{u"One.|Me|"_s, u"- You||"_s};
        QTest::newRow("lone attribution first becomes the text")
            << u"— A name\n\nA quote"_s << QStringList{u"— A name||"_s, u"A quote||"_s};
        QTest::newRow("dash separators with spaces and CRLF")
            << u"A\r\n  ---  \r\nB\r\n\t-----\t\r\nC\r\n-- Cee"_s
            << QStringList{u"A||"_s, u"B||"_s, u"C|Cee|"_s};
        QTest::newRow("two dashes do not separate")
            << u"A\n--\nB"_s << QStringList{u"A\n--\nB||"_s};
        QTest::newRow("separator on the first line does not split")
            << u"---\nA\n---\nB"_s << QStringList{u"---\nA||"_s, u"B||"_s};
        QTest::newRow("parentheses, empty parentheses")
            << u"One\n(Name)\n---\nTwo\n()"_s << QStringList{u"One|Name|"_s, u"Two\n()||"_s};
        QTest::newRow("hyphen and a link")
            << u"Q\n- https://example.com/x"_s << QStringList{u"Q||https://example.com/x"_s};
        QTest::newRow("other schemes stay in the source")
            << u"Q\n– ftp://example.com"_s << QStringList{u"Q|ftp://example.com|"_s};
        QTest::newRow("source, link and date") << u"Q\n― Bo — http://b.example · 3 May 2024"_s
                                               << QStringList{u"Q|Bo|http://b.example"_s};
        QTest::newRow("byte-order mark and carriage returns")
            << u"\uFEFFOne\r\rTwo"_s << QStringList{u"One||"_s, u"Two||"_s};
        QTest::newRow("only white space") << u" \n\t\n "_s << QStringList{};
        QTest::newRow("text that starts with a bracket but is not JSON")
            << u"[citation needed]\n\nA bracket."_s
            << QStringList{u"[citation needed]||"_s, u"A bracket.||"_s};
        // Written by hand, text splits at its blank lines: only the export's
        // own attribution line keeps a file whole.
        QTest::newRow("a name") << u"Be kind.\n\nBe brave.\n\n\u2014 Mom\n"_s
                                << QStringList{u"Be kind.||"_s, u"Be brave.|Mom|"_s};
        QTest::newRow("a year") << u"Be kind.\n\nBe brave.\n\n\u2014 1984"_s
                                << QStringList{u"Be kind.||"_s, u"Be brave.|1984|"_s};
        QTest::newRow("not a date after the dot")
            << u"Be kind.\n\nBe brave.\n\n\u2014 Mom \u00B7 someday"_s
            << QStringList{u"Be kind.||"_s, u"Be brave.|Mom|"_s};
        QTest::newRow("a date without the blank line before it")
            << u"Be kind.\n\nBe brave.\n\u2014 Mom \u00B7 Jan 5, 2020"_s
            << QStringList{u"Be kind.||"_s, u"Be brave.|Mom|"_s};
    }

    void plainText() {
        QFETCH(QString, input);
        QFETCH(QStringList, expected);
        QList<Expected> quotes;
        for (const QString& line : expected) {
            const QStringList parts = line.split(u'|');
            quotes.append({parts[0], parts[1], parts[2]});
        }
        compareQuotes(parseQuotesImport(input, now), quotes);
    }

    void json() {
        const QString input =
            u"{\"quotes\":[{\"text\":\"A\",\"source\":\"S\",\"url\":\"https://"
            u"a.example\",\"id\":\"x1\",\"at\":\"2024-05-01T10:00:00.500Z\"},"
            "5,{\"id\":7,\"text\":\" B \",\"at\":1700000000},{\"source\":\"no text\"},"
            "{\"text\":\"C\",\"at\":\"2024-05-01T12:00:00+02:00\"},{\"text\":\"D\",\"at\":\"soon\"}]}"_s;
        // Newest first; a date that does not read is the import's time less
        // the quote's place in the list.
        const QList<Quote> quotes = parseQuotesImport(input, now);
        compareQuotes(quotes, {{u"D"_s, {}, {}},
                               {u"A"_s, u"S"_s, u"https://a.example"_s},
                               {u"C"_s, {}, {}},
                               {u"B"_s, {}, {}}});
        QList<Date> dates;
        for (const Quote& quote : quotes)
            dates.append(quote.at);
        QCOMPARE(dates, (QList<Date>{now - 5, dateFromUnix(1714557600.5), dateFromUnix(1714557600),
                                     dateFromUnix(1700000000)}));
        QCOMPARE(quotes[1].id, u"x1"_s);
        QVERIFY(!quotes[3].id.isEmpty());

        QCOMPARE(parseQuotesImport(u"  [{\"text\":\"Top\"}]"_s, now).first().at, now);
    }

    // JSON that is valid but holds no usable quote imports nothing, rather
    // than becoming a quote made of its own source text.
    void validJsonWithoutQuotesYieldsNothing_data() {
        QTest::addColumn<QString>("input");
        QTest::newRow("empty list") << u"[]"_s;
        QTest::newRow("empty object") << u"{}"_s;
        QTest::newRow("a single object") << u"{\"text\":\"x\"}"_s;
        QTest::newRow("items without text") << u"[{\"source\":\"a\"},{\"text\":5}]"_s;
        QTest::newRow("quotes not a list") << u"{\"quotes\":{\"text\":\"x\"}}"_s;
        QTest::newRow("nested too deep")
            << QString(u"["_s).repeated(10000) + QString(u"]"_s).repeated(10000);
    }

    void validJsonWithoutQuotesYieldsNothing() {
        QFETCH(QString, input);
        QVERIFY(parseQuotesImport(input, now).isEmpty());
    }

    // The JSON test reads a UTC date with a fraction and one with an offset.
    void internetDates_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("unix"); // NaN: not a date
        QTest::newRow("negative offset") << u"2000-12-31T19:00:00-05:00"_s << 978307200.0;
        QTest::newRow("leap day") << u"2024-02-29T00:00:00Z"_s << 1709164800.0;
        QTest::newRow("before 1970") << u"1969-12-31T23:59:59Z"_s << -1.0;
        for (const QString& text :
             {u"2024-02-30T00:00:00Z"_s, u"2023-02-29T00:00:00Z"_s, u"2024-01-01T24:00:00Z"_s,
              u"2024-01-01 00:00:00Z"_s, u"2024-01-01T00:00:00"_s, u"2024-01-01T00:00:00.Z"_s,
              u"2024-01-01"_s, u"2024-01-01T00:00:00Zjunk"_s, u"24-01-01T00:00:00Z"_s, QString()})
            QTest::addRow("not '%s'", qPrintable(text)) << text << qQNaN();
    }

    void internetDates() {
        QFETCH(QString, text);
        QFETCH(double, unix);
        const auto date = parseInternetDate(text);
        QCOMPARE(date, std::isnan(unix) ? std::nullopt : std::optional(dateFromUnix(unix)));
    }
};

QTEST_GUILESS_MAIN(TestQuoteImport)
#include "tst_quoteimport.moc"
