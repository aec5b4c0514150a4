#include "model/pen.h"
#include "render/penlayout.h"
#include "render/penpainter.h"
#include "render/spritecache.h"
#include "support/imagecompare.h"

#include <QImage>
#include <QPainter>
#include <QTest>

using namespace tessaro;
using namespace Qt::StringLiterals;

class TestPenPainter : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Copying the parts from the cache must look like painting them: every
    // bead and body, light and dark, at the stage's angle on a 2x screen.
    void cachedPartsLookLikePaintedOnes() {
        const StageFit fit = fitStage(560);
        const QList<BeadSpec>& all = beadCatalog();
        int next = 0;
        for (const PenTypeSpec& type : penTypeCatalog())
            for (const bool dark : {false, true}) {
                DrawPenOptions options;
                options.type = type.type;
                options.dark = dark;
                options.angle = fit.layout.angle;
                options.pixelScale = pixelScale(fit.layout.scale, 2);
                for (int i = 0; i < 6; ++i)
                    options.beads.append(all[next++ % all.size()]);
                const auto paint = [&](bool cached) {
                    QImage stage(1120, int(2 * fit.height), QImage::Format_ARGB32_Premultiplied);
                    stage.setDevicePixelRatio(2);
                    stage.fill(Qt::white);
                    QPainter painter(&stage);
                    painter.setRenderHint(QPainter::Antialiasing);
                    fit.layout.apply(painter);
                    options.cacheParts = cached;
                    drawPen(painter, options);
                    return stage;
                };
                const QImage painted = paint(false);
                paint(true); // fills the cache
                const auto before = SpriteCache::forThisThread().painted();
                const QImage copied = paint(true);
                QCOMPARE(SpriteCache::forThisThread().painted(), before);
                const int far = test::pixelsApart(painted, copied, 40);
                // Parts move by at most an eighth of a pixel; only edges show it.
                QVERIFY2(far < 50, qPrintable(u"%1 %2: %3"_s.arg(type.id).arg(dark).arg(far)));
            }
    }

    void anySizeAndAngleIsSafe() {
        Pen pen;
        pen.beads = {u"cherry"_s, u"heart"_s, u"jelly-sky"_s,
                     u"flower"_s, u"bear"_s,  u"letter-L"_s};
        pen.type = u"fountain"_s;
        for (const QSize size : {QSize(1, 1), QSize(30, 9), QSize(700, 300), QSize(3000, 2000)})
            for (const std::optional<double> angle :
                 {std::optional<double>(), {0.0}, {-1.2}, {3.0}, {qQNaN()}}) {
                QImage image(size, QImage::Format_ARGB32_Premultiplied);
                image.fill(Qt::white);
                QPainter painter(&image);
                paintPenArtwork(painter, size, pen, false, angle, true, 2);
            }
    }
};

QTEST_MAIN(TestPenPainter)
#include "tst_penpainter.moc"
