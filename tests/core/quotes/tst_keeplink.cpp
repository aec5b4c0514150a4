#include "quotes/keeplink.h"

#include <QTest>
#include <QUrl>

using namespace tessaro;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(std::optional<KeepRequest>)

class TestKeepLink : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The keeper's test opens a whole link, one with its names out of order
    // and one for another target.
    void parses_data() {
        QTest::addColumn<QString>("link");
        QTest::addColumn<std::optional<KeepRequest>>("expected");
        const auto keep = [](QString text, QString source = {},
                             std::optional<QString> url = std::nullopt) {
            return std::optional(KeepRequest{std::move(text), std::move(source), std::move(url)});
        };
        const std::optional<KeepRequest> nothing;
        QTest::newRow("blank q falls back to text")
            << u"tessaro://keep?q=%20%20&text=kept"_s << keep(u"kept"_s);
        QTest::newRow("the first item of a name decides")
            << u"tessaro://keep?q=%20&q=later&quote=third"_s << keep(u"third"_s);
        QTest::newRow("capitals in scheme, host and names")
            << u"TESSARO://KEEP?Q=x&TITLE=Book"_s << keep(u"x"_s, u"Book"_s);
        QTest::newRow("no host, keep between slashes") << u"tessaro:/keep/?q=x"_s << keep(u"x"_s);
        QTest::newRow("https link trimmed") << u"tessaro://keep?q=x&u=%20https://example.com%20"_s
                                            << keep(u"x"_s, {}, u"https://example.com"_s);
        QTest::newRow("another scheme") << u"https://keep?q=x"_s << nothing;
        QTest::newRow("no text") << u"tessaro://keep?src=Mom"_s << nothing;
    }

    void parses() {
        QFETCH(QString, link);
        QFETCH(std::optional<KeepRequest>, expected);
        QCOMPARE(parseKeepLink(QUrl(link)), expected);
    }
};

QTEST_GUILESS_MAIN(TestKeepLink)
#include "tst_keeplink.moc"
