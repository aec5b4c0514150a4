#include "model/catalog.h"
#include "render/charmpainter.h"

#include <QImage>
#include <QPainter>
#include <QTest>

using namespace tessaro;

namespace {

constexpr QPointF anchor(100, 20);

QImage charm(const QString& kind, double scale = 0.5) {
    QImage image(200, 200, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    drawCharm(painter, anchor, scale, 12, kind, penPalette(false), 1, false);
    return image;
}

} // namespace

class TestCharmPainter : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyKindAtEverySize() {
        QStringList kinds = charmKinds();
        kinds << QString() << QStringLiteral("dragon");
        for (const QString& kind : kinds)
            for (const double scale : {1e-4, 0.02, 0.5, 4.0}) {
                QImage image = charm(kind, scale);
                QPainter painter(&image);
                const QTransform before = painter.worldTransform();
                drawCharm(painter, anchor, scale, -12, kind, penPalette(true), 2, false);
                paintCharmIcon(painter, QSizeF(scale * 100, scale * 100), kind, true, 2);
                QCOMPARE(painter.worldTransform(), before);
            }
    }

    // A kind from a newer version, or none, is drawn as the bunny.
    void unknownKindsAreTheBunny() {
        QCOMPARE(charm(QStringLiteral("dragon")), charm(QStringLiteral("bunny")));
        QCOMPARE(charm(QString()), charm(QStringLiteral("bunny")));
        QVERIFY(charm(QStringLiteral("bear")) != charm(QStringLiteral("bunny")));
    }
};

QTEST_MAIN(TestCharmPainter)
#include "tst_charmpainter.moc"
