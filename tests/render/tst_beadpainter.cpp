#include "model/catalog.h"
#include "render/beadpainter.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <algorithm>
#include <cmath>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

// A bead of radius 40 drawn alone in the middle of a white image.
QImage render(const BeadSpec& bead, double angle) {
    QImage image(100, 100, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.translate(50, 50);
    drawBead(painter, bead, 40, angle, 1);
    return image;
}

} // namespace

class TestBeadPainter : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Radii that are not positive draw nothing; odd scales and angles are tolerated.
    void everyBeadAtEverySizeDrawsAndRestoresThePainter() {
        QImage image(120, 120, QImage::Format_ARGB32_Premultiplied);
        const double nan = std::nan("");
        for (const BeadSpec& kind : beadCatalog()) {
            for (const double r : {nan, -5.0, 0.0, 1.0, 3.0, 59.0, 400.0}) {
                for (const double pixelScale : {nan, -1.0, 0.1, 1.0, 4.0}) {
                    image.fill(Qt::transparent);
                    QPainter painter(&image);
                    painter.translate(60, 60);
                    painter.setOpacity(0.8);
                    const QTransform before = painter.worldTransform();
                    drawBead(painter, kind, r, pixelScale > 0 ? -0.35 : nan, pixelScale);
                    QVERIFY2(painter.worldTransform() == before && painter.opacity() == 0.8 &&
                                 !painter.hasClipping() && painter.pen() == QPen(),
                             qPrintable(kind.id));
                    painter.end();
                    const int alpha = image.pixelColor(60, 60).alpha();
                    QVERIFY2(r > 0 ? r < 3 || alpha > 0 : alpha == 0, qPrintable(kind.id));
                }
            }
        }
    }

    // The sprite cache leaves the angle out of a bead's key where this says
    // the picture does not turn with the pen.
    void pictureTurnsWithThePenOnlyWhereSaid() {
        for (int i = 0; i <= int(BeadShape::rhine); ++i) {
            const auto kind = std::find_if(beadCatalog().begin(), beadCatalog().end(),
                                           [i](const BeadSpec& b) { return int(b.shape) == i; });
            QVERIFY(kind != beadCatalog().end());
            const QImage upright = render(*kind, 0);
            const bool turns = upright != render(*kind, -0.6) || upright != render(*kind, -1.5);
            QVERIFY2(turns == beadFollowsPenAngle(kind->shape), qPrintable(kind->id));
        }
    }

    // A letter bead without its letter would lose what the user spelled.
    void letterBeadShowsItsLetter() {
        auto inked = [](const BeadSpec& kind) {
            const QImage image = render(kind, 0);
            int count = 0;
            for (int y = 38; y <= 62; y += 2)
                for (int x = 34; x <= 66; x += 2)
                    count += qGray(image.pixel(x, y)) < 110;
            return count;
        };
        BeadSpec letter = *beadById(u"letter-L"_s);
        QVERIFY(inked(letter) > 10);
        letter.letter.reset();
        QCOMPARE(inked(letter), 0);
    }
};

QTEST_MAIN(TestBeadPainter)
#include "tst_beadpainter.moc"
