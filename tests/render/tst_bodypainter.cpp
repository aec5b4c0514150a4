#include "render/bodypainter.h"
#include "render/paintcolour.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <cmath>
#include <tuple>
#include <utility>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

const QStringList penTypes{u"pencil"_s, u"ballpoint"_s,   u"gel"_s,       u"fountain"_s,
                           u"brush"_s,  u"highlighter"_s, u"mechanical"_s};

// A pen drawn into an image, width / 1024 pixels per pen unit, and whether
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

Picture render(QStringView type, const BodyInput& input, QSize size = {2048, 400},
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
    drawBody(painter, penTypeFor(type).type, input);
    picture.balanced = state() == before;
    return picture;
}

BodyInput input(QStringView type, std::optional<BarrelSpec> barrel = std::nullopt,
                QStringView ink = u"#6FB3E0", bool dark = false, double pixelScale = 2) {
    return makeBodyInput(penTypeFor(type).type, barrel, ink, dark, pixelScale);
}

BarrelSpec barrel(RGB top, RGB bottom) {
    return {u"test"_s, top, bottom};
}

double lightness(const QColor& c) {
    return 0.299 * c.red() + 0.587 * c.green() + 0.114 * c.blue();
}

bool near(const QColor& c, const RGB& expected) {
    return std::abs(c.red() - int(expected.r)) <= 1 && std::abs(c.green() - int(expected.g)) <= 1 &&
           std::abs(c.blue() - int(expected.b)) <= 1;
}

} // namespace

class TestBodyPainter : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void inkOutsideTheCatalogFallsBack() {
        const QImage first =
            render(u"gel", input(u"gel", std::nullopt, inkColours().first())).image;
        for (const QString& ink : {u"#123456"_s, QString(), u"6FB3E0"_s}) {
            QCOMPARE(inkColour(ink), rgbFromHex(inkColours().first()));
            QCOMPARE(render(u"gel", input(u"gel", std::nullopt, ink)).image, first);
        }
    }

    void nearWhiteBarrelKeepsItsHighlight() {
        const QGradientStops stops = barrelShading(66, {254, 254, 255}, {254, 254, 255}).stops();
        QCOMPARE(stops[0].second, QColor(255, 255, 255));
        for (int i = 4; i < stops.size(); ++i)
            QVERIFY(lightness(stops[i].second) < lightness(stops[i - 1].second));
    }

    void outlineIsOneClosedBody() {
        const double T = 66;
        for (const QString& type : penTypes) {
            const QPainterPath outline = bodyOutline(penTypeFor(type).type, T);
            for (double x = 245; x <= 995; x += 10)
                QVERIFY2(outline.contains(QPointF(x, 0.3 * T)), qPrintable(type));
            QVERIFY(outline.contains(QPointF(60, 0)));
            for (const QPointF outside : {QPointF(500, 0.7 * T), {500, -0.7 * T}, {1001, 0}})
                QVERIFY2(!outline.contains(outside), qPrintable(type));
        }
    }

    void drawsAtExtremes_data() {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<double>("pixelScale");
        QTest::addColumn<double>("thick"); // negative keeps the catalog's
        const double nan = std::nan("");
        for (const QString& type : penTypes) {
            const auto row = [&](const char* name) -> QTestData& {
                return QTest::addRow("%s %s", qPrintable(type), name) << type;
            };
            row("one pixel") << QSize(1, 1) << 0.05 << -1.0;
            row("huge image") << QSize(4000, 400) << 8.0 << -1.0;
            row("no pixel scale") << QSize(256, 64) << 0.0 << -1.0;
            row("nan pixel scale") << QSize(256, 64) << nan << -1.0;
            row("flat body") << QSize(256, 64) << 2.0 << 0.0;
            row("huge body") << QSize(256, 64) << 2.0 << 5000.0;
        }
    }
    void drawsAtExtremes() {
        QFETCH(QString, type);
        QFETCH(QSize, size);
        QFETCH(double, pixelScale);
        QFETCH(double, thick);
        BodyInput body = input(type, std::nullopt, u"#6FB3E0", false, pixelScale);
        if (thick >= 0)
            body.thick = thick;
        const Picture picture = render(type, body, size, Qt::transparent, 0.8);
        QVERIFY(picture.balanced);
        if (size.width() >= 64 && body.thick > 0)
            QVERIFY(picture.at({600, 0}).alpha() > 0);
    }

    void barrelIsShadedLikeACylinder_data() {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QPointF>("metal"); // y in units of T; none on the highlighter
        QTest::newRow("pencil ferrule") << u"pencil"_s << QPointF(979, 0);
        QTest::newRow("ballpoint clip") << u"ballpoint"_s << QPointF(900, -0.75);
        QTest::newRow("gel end") << u"gel"_s << QPointF(979, 0);
        QTest::newRow("fountain section") << u"fountain"_s << QPointF(172, 0.1);
        QTest::newRow("brush ferrule") << u"brush"_s << QPointF(210, 0.38);
        QTest::newRow("highlighter") << u"highlighter"_s << QPointF();
        QTest::newRow("mechanical cone") << u"mechanical"_s << QPointF(150, 0.1);
    }
    void barrelIsShadedLikeACylinder() {
        QFETCH(QString, type);
        QFETCH(QPointF, metal);
        const double T = penTypeFor(type).thick;
        const Picture blue = render(type, input(type, barrel({120, 190, 240}, {80, 150, 210})));
        const QColor upper = blue.at({620, -0.36 * T});
        const QColor lower = blue.at({620, 0.44 * T});
        QVERIFY2(lightness(upper) > lightness(lower) + 20,
                 qPrintable(upper.name() + u" over "_s + lower.name()));
        // A black barrel stays dark; the gel's lets the background through.
        const Picture black = render(type, input(type, barrel({24, 24, 26}, {12, 12, 14})),
                                     {2048, 400}, type == u"gel" ? Qt::black : Qt::white);
        for (const double y : {0.25, 0.35, 0.45})
            QVERIFY2(lightness(black.at({620, y * T})) < 60, qPrintable(QString::number(y)));
        // The dark palette darkens the default barrel and the metal.
        const Picture light = render(type, input(type));
        const Picture dark = render(type, input(type, std::nullopt, u"#6FB3E0", true));
        for (const QPointF probe : {QPointF(620, 0.3), metal}) {
            if (probe.isNull())
                continue;
            const QPointF at(probe.x(), probe.y() * T);
            QVERIFY2(lightness(dark.at(at)) + 15 < lightness(light.at(at)),
                     qPrintable(dark.at(at).name() + u" vs "_s + light.at(at).name()));
        }
    }

    // Three flat facets, each one colour along the pen, lit from above.
    void pencilFacetsAreFlatBands() {
        const Picture picture =
            render(u"pencil", input(u"pencil", barrel({200, 120, 90}, {170, 90, 60})));
        double above = 256;
        for (const double y : {-22.0, 0.0, 22.0}) { // the facets' middles, T = 66
            const QColor facet = picture.at({300, y});
            for (const double x : {200.0, 500.0, 800.0})
                QCOMPARE(picture.at({x, y}), facet);
            QVERIFY(lightness(facet) < above);
            above = lightness(facet);
        }
    }

    void pencilFacetEdgesNeedSixDevicePixels() {
        auto edge = [](double pixelScale) {
            const BodyInput body =
                input(u"pencil", barrel({90, 90, 90}, {90, 90, 90}), u"#6FB3E0", false, pixelScale);
            return render(u"pencil", body, {1024, 200}).at({500, -66.0 / 6 + 3});
        };
        QVERIFY(near(edge(0.05), {90, 90, 90}));
        QVERIFY2(lightness(edge(0.1)) > 150, qPrintable(edge(0.1).name()));
    }

    void inkShowsWhereTheInkIs_data() {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QPointF>("probe"); // y in units of T
        QTest::newRow("gel refill") << u"gel"_s << QPointF(600, 0);
        QTest::newRow("brush head") << u"brush"_s << QPointF(120, 0.02);
        QTest::newRow("highlighter chisel") << u"highlighter"_s << QPointF(40, 0.2);
        QTest::newRow("highlighter cap") << u"highlighter"_s << QPointF(950, 0.2);
    }
    void inkShowsWhereTheInkIs() {
        QFETCH(QString, type);
        QFETCH(QPointF, probe);
        const QPointF point(probe.x(), probe.y() * penTypeFor(type).thick);
        const BarrelSpec grey = barrel({200, 200, 200}, {180, 180, 180});
        const QColor green = render(type, input(type, grey, u"#5FC2A0")).at(point);
        const QColor pink = render(type, input(type, grey, u"#F4A0B9")).at(point);
        QVERIFY2(green.green() > green.red() + 20, qPrintable(green.name()));
        QVERIFY2(pink.red() > pink.green() + 20, qPrintable(pink.name()));
    }

    void gelBarrelIsSeeThrough() {
        // Alpha below the axis at half opacity.
        for (const auto& [type, alpha] : {std::pair{u"fountain"_s, 0.5}, {u"gel"_s, 0.5 * 0.55}}) {
            const Picture picture = render(type, input(type), {1024, 200}, Qt::transparent, 0.5);
            const int drawn = picture.at({600, 22}).alpha();
            QVERIFY2(std::abs(drawn - alpha * 255) < 8, qPrintable(type));
        }
    }
};

QTEST_MAIN(TestBodyPainter)
#include "tst_bodypainter.moc"
