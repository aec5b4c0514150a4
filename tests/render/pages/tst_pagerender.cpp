#include "render/pages/pagerender.h"
#include "support/pagebytes.h"

#include <QRandomGenerator>
#include <QTest>

using namespace tessaro;
using namespace tessaro::test;
using namespace Qt::StringLiterals;

namespace {

Page decoded(const QByteArray& bytes) {
    auto page = decodePage(bytes);
    if (!page)
        qFatal("a test page did not decode");
    return *page;
}

// One thick dark stroke across the middle of a 1000 × 1400 page.
QByteArray strokeBytes() {
    return "{\"format\":\"tessaro-page\",\"version\":1,\"strokes\":["
           "{\"tool\":\"ballpoint\",\"ink\":\"#203040\",\"width\":20,\"points\":[100,700,1,900,700,"
           "1]}]}";
}

QByteArray svgBytes() {
    // A red band twice as wide as high: fitted to the page's width, centred.
    return svgRoot + " viewBox=\"0 0 200 100\">"
                     "<rect width=\"200\" height=\"100\" fill=\"#ff0000\"/></svg>";
}

QByteArray imagePage(const char* format) {
    QImage image(200, 100, QImage::Format_RGB32);
    image.fill(QColor(0, 0, 255));
    return imageBytes(image, format);
}

bool near(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) < 24 && std::abs(qGreen(a) - qGreen(b)) < 24 &&
           std::abs(qBlue(a) - qBlue(b)) < 24;
}

// Many long random strokes: a page dense enough that its 320-point thumbnail
// is too large and the 160-point one is not.
Page busyPage(int strokes) {
    QRandomGenerator random(7);
    Page page;
    for (int s = 0; s < strokes; ++s) {
        PageStroke stroke;
        stroke.ink = QColor(Qt::black);
        stroke.width = 1 + random.bounded(4.0);
        double x = random.bounded(1000.0);
        double y = random.bounded(1400.0);
        for (int i = 0; i < 60; ++i) {
            stroke.points.push_back({float(x), float(y), float(random.bounded(1.0))});
            x += random.bounded(40.0) - 20;
            y += random.bounded(40.0) - 20;
        }
        page.strokes.strokes.push_back(stroke);
    }
    return page;
}

} // namespace

class TestPageRender : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The content covers the page's middle, at (1000, 1400) in pixels.
    void eachKindRendersAtScaleTwo_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QRgb>("ink");
        QTest::newRow("strokes") << strokeBytes() << qRgb(0x20, 0x30, 0x40);
        QTest::newRow("svg") << svgBytes() << qRgb(255, 0, 0);
        QTest::newRow("png") << imagePage("png") << qRgb(0, 0, 255);
        QTest::newRow("jpeg") << imagePage("jpeg") << qRgb(0, 0, 255);
    }

    void eachKindRendersAtScaleTwo() {
        QFETCH(QByteArray, bytes);
        QFETCH(QRgb, ink);
        const Page page = decoded(bytes);
        const QImage image = renderPage(page, QSizeF(1000, 1400), 2);
        QCOMPARE(image.size(), QSize(2000, 2800));
        QCOMPARE(image.deviceIndependentSize(), QSizeF(1000, 1400));
        QVERIFY(!image.hasAlphaChannel());
        const QRgb middle = image.pixel(1000, 1400);
        QVERIFY2(near(middle, ink), qPrintable(QColor(middle).name()));
        // The corners are bare white paper: content is fitted, never stretched.
        QCOMPARE(image.pixel(4, 4), qRgb(255, 255, 255));
        QCOMPARE(image.pixel(1995, 2795), qRgb(255, 255, 255));

        const auto thumbnail = makeThumbnail(page, QSizeF(1000, 1400));
        QVERIFY(thumbnail);
        QVERIFY(thumbnail->size() <= 40960);
        QImage small;
        QVERIFY(small.loadFromData(*thumbnail, "png"));
        QCOMPARE(small.size(), QSize(229, 320));
    }

    void sizesOutsideTheBoundsGiveNoImage_data() {
        QTest::addColumn<QSizeF>("size");
        QTest::addColumn<double>("scale");
        QTest::addColumn<QSize>("pixels"); // empty: no image
        QTest::addColumn<bool>("thumbnail");
        QTest::newRow("rounded sides") << QSizeF(10.4, 10.6) << 1.0 << QSize(10, 11) << true;
        QTest::newRow("huge page") << QSizeF(1e308, 1e308) << 2.0 << QSize(0, 0) << false;
        QTest::newRow("one huge side") << QSizeF(1000, 1e308) << 2.0 << QSize(0, 0) << false;
        QTest::newRow("infinite") << QSizeF(qInf(), 1400) << 2.0 << QSize(0, 0) << false;
        QTest::newRow("not a number") << QSizeF(qQNaN(), 1400) << 2.0 << QSize(0, 0) << false;
        QTest::newRow("side of one") << QSizeF(1, 1400) << 2.0 << QSize(0, 0) << false;
        QTest::newRow("no scale") << QSizeF(1000, 1400) << 0.0 << QSize(0, 0) << true;
        QTest::newRow("rounds to nothing") << QSizeF(1000, 1400) << 1e-4 << QSize(0, 0) << true;
        QTest::newRow("longest side allowed")
            << QSizeF(4096, 100) << 2.0 << QSize(8192, 200) << true;
        QTest::newRow("side just too long") << QSizeF(4097, 100) << 2.0 << QSize(0, 0) << true;
        QTest::newRow("too many pixels") << QSizeF(4000, 4000) << 2.0 << QSize(0, 0) << true;
    }

    void sizesOutsideTheBoundsGiveNoImage() {
        QFETCH(QSizeF, size);
        QFETCH(double, scale);
        QFETCH(QSize, pixels);
        QFETCH(bool, thumbnail);
        const Page page = decoded(strokeBytes());
        QCOMPARE(renderPage(page, size, scale).size(), pixels);
        QCOMPARE(makeThumbnail(page, size).has_value(), thumbnail);
    }

    void busyPagesGetTheSmallerThumbnail() {
        const Page page = busyPage(1200);
        const QSizeF size(1000, 1400);
        QVERIFY2(imageBytes(renderPage(page, size, 320 / 1400.0), "png").size() > 40960,
                 "the page is meant to be too busy for the larger thumbnail");
        const auto thumbnail = makeThumbnail(page, size);
        QVERIFY(thumbnail);
        QVERIFY(thumbnail->size() <= 40960);
        QImage small;
        QVERIFY(small.loadFromData(*thumbnail, "png"));
        QCOMPARE(small.size(), QSize(114, 160));
    }
};

QTEST_MAIN(TestPageRender)
#include "tst_pagerender.moc"
