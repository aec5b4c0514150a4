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

        // Group opacity would blend differently: painted directly.
        painter.setOpacity(0.5);
        cache.draw(painter, "disc", discBounds, disc);
        QCOMPARE(paints, 3);
        QCOMPARE(cache.count(), qsizetype(2));
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

    void hugeOrUnusablePicturesArePaintedDirectly() {
        SpriteCache cache;
        QImage image(100, 100, QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&image);
        paints = 0;
        painter.scale(1e4, 1e4);
        cache.draw(painter, "disc", discBounds, disc);
        painter.resetTransform();
        painter.scale(0, 0);
        cache.draw(painter, "disc", discBounds, disc);
        QCOMPARE(paints, 2);
        QCOMPARE(cache.count(), qsizetype(0));
    }
};

QTEST_MAIN(TestSpriteCache)
#include "tst_spritecache.moc"
