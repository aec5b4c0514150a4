#include "render/bodypainter.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <cmath>
#include <tuple>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

// A body drawn into an image, width / 1024 pixels per pen unit, and whether
// the painter's state was left as it was found.
struct Picture {
    QImage image;
    bool balanced = false;

    QColor at(QPointF pen) const {
        const double scale = image.width() / 1024.0;
        const QPointF pixel = QPointF(12 * scale, image.height() / 2.0) + pen * scale;
        return image.pixelColor(int(std::floor(pixel.x())), int(std::floor(pixel.y())));
    }
};

Picture render(PenType type, const BodyInput& input, QSize size = {2048, 400},
               const QColor& background = Qt::white, double opacity = 1) {
    Picture picture{QImage(size, QImage::Format_ARGB32_Premultiplied)};
    picture.image.fill(background);
    QPainter painter(&picture.image);
    const double scale = size.width() / 1024.0;
    painter.translate(12 * scale, size.height() / 2.0);
    painter.scale(scale, scale);
    painter.setOpacity(opacity);
    painter.setPen(QPen(Qt::red, 3));
    painter.setBrush(Qt::green);
    painter.setClipRect(QRectF(0, -1e4, 1e3, 2e4));
    const auto state = [&] {
        return std::tuple(painter.worldTransform(), painter.opacity(), painter.pen(),
                          painter.brush(), painter.clipRegion(), painter.renderHints());
    };
    const auto before = state();
    drawBody(painter, type, input);
    picture.balanced = state() == before;
    return picture;
}

BodyInput input(PenType type, QStringView ink, double pixelScale = 2) {
    return makeBodyInput(type, std::nullopt, ink, false, pixelScale);
}

const char* name(PenType type) {
    static QByteArray id;
    id = penTypeSpec(type).id.toUtf8();
    return id.constData();
}

} // namespace

class TestBodyPainter : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The chosen ink shows; one from outside the catalog (another device's,
    // say) falls back to the first.
    void inkOutsideTheCatalogFallsBack() {
        const QImage first = render(PenType::gel, input(PenType::gel, inkColours().first())).image;
        QVERIFY(render(PenType::gel, input(PenType::gel, inkColours().last())).image != first);
        for (const QString& ink : {u"#123456"_s, QString(), u"6FB3E0"_s})
            QCOMPARE(render(PenType::gel, input(PenType::gel, ink)).image, first);
    }

    // Odd sizes and scales draw, and leave the painter as they found it.
    void drawsAtExtremes() {
        const double nan = std::nan("");
        // Image size, pixel scale and thickness (negative: the catalog's).
        const std::tuple<QSize, double, double> cases[] = {
            {{1, 1}, 0.05, -1},   {{4000, 400}, 8, -1}, {{256, 64}, 0, -1},
            {{256, 64}, nan, -1}, {{256, 64}, 2, 0},    {{256, 64}, 2, 5000}};
        for (const PenTypeSpec& entry : penTypeCatalog())
            for (const auto& [size, pixelScale, thick] : cases) {
                BodyInput body = input(entry.type, u"#6FB3E0", pixelScale);
                if (thick >= 0)
                    body.thick = thick;
                const Picture picture = render(entry.type, body, size, Qt::transparent, 0.8);
                QVERIFY2(picture.balanced, name(entry.type));
                if (size.width() >= 64 && body.thick > 0)
                    QVERIFY2(picture.at({600, 0}).alpha() > 0, name(entry.type));
            }
    }
};

QTEST_MAIN(TestBodyPainter)
#include "tst_bodypainter.moc"
