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

BodyInput input(PenType type, std::optional<RGB> barrel = std::nullopt,
                QStringView ink = u"#6FB3E0", bool dark = false, double pixelScale = 2) {
    const auto entry =
        barrel ? std::optional(BarrelSpec{u"test"_s, *barrel, *barrel}) : std::nullopt;
    return makeBodyInput(type, entry, ink, dark, pixelScale);
}

double lightness(const QColor& c) {
    return 0.299 * c.red() + 0.587 * c.green() + 0.114 * c.blue();
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
    void inkOutsideTheCatalogFallsBack() {
        const QImage first =
            render(PenType::gel, input(PenType::gel, {}, inkColours().first())).image;
        for (const QString& ink : {u"#123456"_s, QString(), u"6FB3E0"_s})
            QCOMPARE(render(PenType::gel, input(PenType::gel, {}, ink)).image, first);
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
                BodyInput body = input(entry.type, {}, u"#6FB3E0", false, pixelScale);
                if (thick >= 0)
                    body.thick = thick;
                const Picture picture = render(entry.type, body, size, Qt::transparent, 0.8);
                QVERIFY2(picture.balanced, name(entry.type));
                if (size.width() >= 64 && body.thick > 0)
                    QVERIFY2(picture.at({600, 0}).alpha() > 0, name(entry.type));
            }
    }

    // Every barrel is lit from above; a black one stays dark (the gel's lets
    // the background through), and the dark palette darkens the default one.
    void barrelIsShadedLikeACylinder() {
        for (const PenTypeSpec& entry : penTypeCatalog()) {
            const PenType type = entry.type;
            const double T = entry.thick;
            BodyInput blue = input(type, RGB{120, 190, 240});
            blue.bottom = {80, 150, 210};
            const Picture shaded = render(type, blue);
            const QColor upper = shaded.at({620, -0.36 * T});
            const QColor lower = shaded.at({620, 0.44 * T});
            QVERIFY2(lightness(upper) > lightness(lower) + 20, name(type));
            const Picture black = render(type, input(type, RGB{20, 20, 22}), {2048, 400},
                                         type == PenType::gel ? Qt::black : Qt::white);
            for (const double y : {0.25, 0.35, 0.45})
                QVERIFY2(lightness(black.at({620, y * T})) < 60, name(type));
            const QPointF middle(620, 0.3 * T);
            QVERIFY2(lightness(render(type, input(type, {}, u"#6FB3E0", true)).at(middle)) + 15 <
                         lightness(render(type, input(type)).at(middle)),
                     name(type));
        }
    }

    void inkShowsWhereTheInkIs_data() {
        QTest::addColumn<PenType>("type");
        QTest::addColumn<QPointF>("probe"); // y in units of T
        QTest::newRow("gel refill") << PenType::gel << QPointF(600, 0);
        QTest::newRow("brush head") << PenType::brush << QPointF(120, 0.02);
        QTest::newRow("highlighter chisel") << PenType::highlighter << QPointF(40, 0.2);
        QTest::newRow("highlighter cap") << PenType::highlighter << QPointF(950, 0.2);
    }
    void inkShowsWhereTheInkIs() {
        QFETCH(PenType, type);
        QFETCH(QPointF, probe);
        const QPointF point(probe.x(), probe.y() * penTypeSpec(type).thick);
        const RGB grey{190, 190, 190};
        const QColor green = render(type, input(type, grey, u"#5FC2A0")).at(point);
        const QColor pink = render(type, input(type, grey, u"#F4A0B9")).at(point);
        QVERIFY2(green.green() > green.red() + 20, qPrintable(green.name()));
        QVERIFY2(pink.red() > pink.green() + 20, qPrintable(pink.name()));
    }
};

QTEST_MAIN(TestBodyPainter)
#include "tst_bodypainter.moc"
