#include "render/pages/pagedecoder.h"
#include "render/pages/svgcheck.h"
#include "support/pagebytes.h"

#include <QImage>
#include <QTest>

using namespace tessaro;
using namespace tessaro::test;
using namespace Qt::StringLiterals;

namespace {

QByteArray page(const QByteArray& strokes, const QByteArray& extra = {}) {
    return "{\"format\":\"tessaro-page\",\"version\":1" + extra + ",\"strokes\":[" + strokes + "]}";
}

// `count` strokes of `points` samples each.
QByteArray manyPoints(int count, int points) {
    QByteArray samples;
    for (int i = 0; i < points; ++i)
        samples += (i ? ",1,2,0.5" : "1,2,0.5");
    const QByteArray stroke = "{\"points\":[" + samples + "]}";
    QByteArray strokes;
    for (int i = 0; i < count; ++i)
        strokes += (i ? "," : "") + stroke;
    return page(strokes);
}

QByteArray nested(const QByteArray& open, const QByteArray& close, int depth) {
    return open.repeated(depth) + close.repeated(depth);
}

QByteArray svgWithImage(const QByteArray& png) {
    return svgRoot + "><image width=\"10\" height=\"10\" xlink:href=\"data:image/png;base64," +
           png.toBase64() + "\"/></svg>";
}

} // namespace

class TestPageDecoder : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void kindComesFromTheContent_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<std::optional<PageKind>>("kind");
        QImage image(4, 3, QImage::Format_RGB32);
        image.fill(Qt::red);
        const std::optional<PageKind> none;
        QTest::newRow("strokes") << page({}) << std::optional(PageKind::strokes);
        QTest::newRow("strokes after a byte order mark and blanks")
            << "\xEF\xBB\xBF \n" + page({}) << std::optional(PageKind::strokes);
        QTest::newRow("svg") << QByteArray(svgRoot + "/>") << std::optional(PageKind::svg);
        QTest::newRow("svg after a declaration and a comment")
            << "<?xml version=\"1.0\"?>\n<!-- drawn -->\n" + svgRoot + "/>"
            << std::optional(PageKind::svg);
        QTest::newRow("other markup") << QByteArray("<html><body/></html>") << none;
        QTest::newRow("png") << imageBytes(image, "png") << std::optional(PageKind::png);
        QTest::newRow("jpeg") << imageBytes(image, "jpeg") << std::optional(PageKind::jpeg);
        QTest::newRow("png behind a byte") << " " + imageBytes(image, "png") << none;
        QTest::newRow("gzip") << QByteArray("\x1f\x8b\x08\x00", 4) << none;
        QTest::newRow("empty") << QByteArray() << none;
    }

    void kindComesFromTheContent() {
        QFETCH(QByteArray, bytes);
        QFETCH(std::optional<PageKind>, kind);
        QCOMPARE(detectPageKind(bytes), kind);
    }

    void strokePagesReadTolerantly_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("strokes"); // -1: not a page
        QTest::newRow("no strokes") << page({}) << 0;
        QTest::newRow("one stroke") << page("{\"points\":[1,2,1,3,4,0.5]}") << 1;
        QTest::newRow("newer version")
            << QByteArray("{\"format\":\"tessaro-page\",\"version\":2}") << -1;
        QTest::newRow("no version") << QByteArray("{\"format\":\"tessaro-page\"}") << -1;
        QTest::newRow("other format") << QByteArray("{\"format\":\"notes\",\"version\":1}") << -1;
        QTest::newRow("not an object") << QByteArray("[1,2,3]") << -1;
        QTest::newRow("trailing text") << page({}) + "x" << -1;
        QTest::newRow("cut short") << page({}).chopped(1) << -1;
        QTest::newRow("unknown keys skipped, however nested")
            << page("{\"layer\":{\"a\":[[1],{\"b\":null}]},\"points\":[1,2,1]}",
                    ",\"extra\":[[{}]]")
            << 1;
        QTest::newRow("bad sample drops its stroke only")
            << page("{\"points\":[1,\"2\",1]},{\"points\":[1,2,1]}") << 1;
        QTest::newRow("samples not in threes") << page("{\"points\":[1,2,1,3]}") << 0;
        QTest::newRow("points not a list") << page("{\"points\":{\"x\":1}}") << 0;
        QTest::newRow("far outside any page") << page("{\"points\":[1,2,1,2e6,0,1]}") << 0;
        QTest::newRow("stroke that is no object") << page("3,{\"points\":[1,2,1]}") << 1;
        QTest::newRow("skipped value nested too deep")
            << page({}, ",\"x\":" + nested("[", "]", 40)) << -1;
    }

    void strokePagesReadTolerantly() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, strokes);
        const auto decoded = decodePage(bytes);
        QCOMPARE(decoded.has_value(), strokes >= 0);
        if (decoded) {
            QCOMPARE(decoded->kind, PageKind::strokes);
            QCOMPARE(int(decoded->strokes.strokes.size()), strokes);
        }
    }

    // Out-of-range fields are brought back in bounds; unusable ones fall back.
    void strokeFieldsAreBounded() {
        const auto decoded = parseStrokePage(
            page("{\"ink\":\"#10203040\",\"width\":1e9,\"points\":[1,2,1.5,3,4,-1]},"
                 "{\"tool\":\"quill\",\"ink\":\"red\",\"width\":\"wide\",\"points\":[0,0,0.5]}"));
        QVERIFY(decoded);
        const auto& strokes = decoded->strokes;
        QCOMPARE(strokes.size(), std::size_t(2));
        QCOMPARE(strokes[0].ink, QColor(0x10, 0x20, 0x30, 0x40));
        QCOMPARE(strokes[0].width, maxStrokeWidth);
        QCOMPARE(strokes[0].points[0].pressure, 1.0f);
        QCOMPARE(strokes[0].points[1].pressure, 0.0f);
        PageStroke fallback;
        fallback.points = strokes[1].points;
        QCOMPARE(strokes[1], fallback);
    }

    // Pages come from other machines: past any bound, the page is refused as
    // a whole, so the viewer shows its placeholder.
    void hostilePagesAreRefused_data() {
        QTest::addColumn<QByteArray>("bytes");
        QImage bomb(7000, 7000, QImage::Format_Mono);
        bomb.fill(0);
        const QByteArray bombBytes = imageBytes(bomb, "png");
        QVERIFY2(bombBytes.size() <= 40960, "the bomb is meant to be small");
        QTest::newRow("a million points") << manyPoints(10, 100000);
        QTest::newRow("too many points in one stroke") << manyPoints(1, maxStrokePoints + 1);
        QTest::newRow("too many strokes") << manyPoints(maxPageStrokes + 1, 1);
        QTest::newRow("image bomb") << bombBytes;
        QTest::newRow("deep svg") << svgRoot + ">" + nested("<g>", "</g>", 10000) + "</svg>";
        QTest::newRow("too many svg elements")
            << svgRoot + ">" + QByteArray("<rect/>").repeated(maxSvgElements) + "</svg>";
        QByteArray laughs = svgRoot + "><defs>"
                                      "<rect id=\"l0\" width=\"1\" height=\"1\"/>";
        for (int level = 1; level <= 9; ++level) {
            laughs += "<g id=\"l" + QByteArray::number(level) + "\">";
            for (int i = 0; i < 10; ++i)
                laughs += "<use xlink:href=\"#l" + QByteArray::number(level - 1) + "\"/>";
            laughs += "</g>";
        }
        QTest::newRow("svg use bomb") << laughs + "</defs><use xlink:href=\"#l9\"/></svg>";
        QTest::newRow("svg use cycle")
            << QByteArray(svgRoot + ">"
                                    "<g id=\"a\"><use xlink:href=\"#b\"/></g><g id=\"b\"><use "
                                    "xlink:href=\"#a\"/></g></svg>");
        QTest::newRow("svg entities")
            << "<!DOCTYPE svg [<!ENTITY a \"aaaaaaaaaa\">]>" + svgRoot + "><text>&a;</text></svg>";
        QTest::newRow("svg reading a file of this machine") << QByteArray(
            svgRoot +
            ">"
            "<image xlink:href=\"file:///etc/passwd\" width=\"10\" height=\"10\"/></svg>");
        QTest::newRow("svg embedding an image bomb") << svgWithImage(bombBytes);
        QTest::newRow("svg that is not well formed") << svgRoot + "><g></svg>";
        QTest::newRow("too large a file") << page({}) + QByteArray(maxPageBytes, ' ');
    }

    void hostilePagesAreRefused() {
        QFETCH(QByteArray, bytes);
        QVERIFY(!decodePage(bytes));
    }

    void boundsStillLetOrdinaryPagesThrough() {
        // Right at each bound.
        QVERIFY(decodePage(manyPoints(maxPagePoints / maxStrokePoints, maxStrokePoints)));
        QVERIFY(decodePage(svgRoot + ">" + nested("<g>", "</g>", maxSvgDepth - 1) + "</svg>"));
        QImage embedded(8, 8, QImage::Format_RGB32);
        embedded.fill(Qt::blue);
        QVERIFY(decodePage(svgWithImage(imageBytes(embedded, "png"))));
        QByteArray uses = svgRoot + "><rect id=\"r\"/>";
        for (int i = 0; i < 1000; ++i)
            uses += "<use xlink:href=\"#r\"/>";
        QVERIFY(decodePage(uses + "</svg>"));
    }

    void largeImagesDecodeSmaller() {
        QImage photo(5000, 2000, QImage::Format_RGB32);
        photo.fill(Qt::green);
        const auto decoded = decodePage(imageBytes(photo, "jpeg"));
        QVERIFY(decoded);
        QCOMPARE(decoded->kind, PageKind::jpeg);
        QCOMPARE(decoded->image.size(), QSize(maxPageImageSide, 1638));
    }
};

QTEST_GUILESS_MAIN(TestPageDecoder)
#include "tst_pagedecoder.moc"
