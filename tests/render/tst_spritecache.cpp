#include "render/spritecache.h"

#include <QImage>
#include <QPainter>
#include <QTest>

using namespace tessaro;

namespace {

int paints = 0;

void disc(QPainter& p) {
    ++paints;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 40, 90));
    p.drawEllipse(QPointF(), 20, 20);
}

const QRectF discBounds(-20, -20, 40, 40);

} // namespace

class TestSpriteCache : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void paintsOncePerLookAndPlace() {
        SpriteCache cache;
        QImage image(200, 200, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        paints = 0;
        painter.translate(50, 50);
        cache.draw(painter, "disc", discBounds, disc);
        cache.draw(painter, "disc", discBounds, disc);
        QCOMPARE(paints, 1);
        // Whole pixels away it is the same picture; a new scale is not.
        painter.translate(60, 0);
        cache.draw(painter, "disc", discBounds, disc);
        QCOMPARE(paints, 1);
        painter.scale(1.5, 1.5);
        cache.draw(painter, "disc", discBounds, disc);
        QCOMPARE(paints, 2);
        QCOMPARE(image.pixelColor(50, 50), QColor(200, 40, 90));
        QCOMPARE(image.pixelColor(110, 50), QColor(200, 40, 90));
        QCOMPARE(image.pixelColor(50, 75), QColor(Qt::white));

        // Group opacity would blend differently, and pictures too large or
        // too small to keep are no use in a cache: all painted directly.
        painter.setOpacity(0.5);
        cache.draw(painter, "disc", discBounds, disc);
        painter.setOpacity(1);
        painter.scale(1e4, 1e4);
        cache.draw(painter, "disc", discBounds, disc);
        painter.resetTransform();
        painter.scale(0, 0);
        cache.draw(painter, "disc", discBounds, disc);
        QCOMPARE(paints, 5);
        QCOMPARE(cache.count(), qsizetype(2));
    }

    // What a frame prepares is painted once, side by side, and drawn from the
    // cache; the same picture asked for twice is painted once.
    void preparedPartsAreDrawnFromTheCache() {
        SpriteCache cache;
        QImage image(300, 100, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.scale(1.25, 1.25);
        std::vector<SpriteCache::Part> parts;
        for (const double x : {30.0, 90.0, 150.0, 210.0})
            parts.push_back({"disc", discBounds, QTransform::fromTranslate(x, 40), disc});
        parts.push_back({"ring", discBounds, QTransform::fromTranslate(60, 40), [](QPainter& p) {
                             p.setPen(QPen(Qt::black, 3));
                             p.drawEllipse(QPointF(), 15, 15);
                         }});
        cache.prepare(painter, parts);
        // The four discs all sit half a pixel off the grid: one picture.
        QCOMPARE(cache.painted(), std::uint64_t(2));
        for (const SpriteCache::Part& part : parts)
            cache.draw(painter, part);
        QCOMPARE(cache.painted(), std::uint64_t(2));
        QCOMPARE(image.pixelColor(qRound(1.25 * 210), 50), QColor(200, 40, 90));
    }

    void staysWithinItsCapacity() {
        constexpr qsizetype capacity = 64 * 1024;
        SpriteCache cache(capacity);
        QImage image(100, 100, QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&image);
        painter.translate(50, 50);
        for (int i = 0; i < 500; ++i) {
            QByteArray key = "disc";
            appendKey(key, i);
            cache.draw(painter, key, discBounds, disc);
            QVERIFY(cache.bytes() <= capacity);
        }
        QVERIFY(cache.count() > 1);
        // What was drawn last is still there.
        const auto before = cache.painted();
        QByteArray last = "disc";
        appendKey(last, 499);
        cache.draw(painter, last, discBounds, disc);
        QCOMPARE(cache.painted(), before);
    }
};

QTEST_MAIN(TestSpriteCache)
#include "tst_spritecache.moc"
