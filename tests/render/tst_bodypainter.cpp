#include "render/bodypainter.h"
#include "render/paintcolour.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <cmath>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

const QStringList penTypes{u"pencil"_s, u"ballpoint"_s,   u"gel"_s,       u"fountain"_s,
                           u"brush"_s,  u"highlighter"_s, u"mechanical"_s};

// A flat pen drawn into an image, `scale` pixels per pen unit, with a way to
// read the pixel under a pen-space point.
struct Picture {
    QImage image;
    QPointF origin;
    double scale = 1;

    QColor at(QPointF pen) const {
        const QPointF pixel = origin + pen * scale;
        return image.pixelColor(int(std::floor(pixel.x())), int(std::floor(pixel.y())));
    }
};

Picture render(QStringView type, const BodyInput& input, QSize size = {2048, 400},
               const QColor& background = Qt::white) {
    Picture picture{QImage(size, QImage::Format_ARGB32_Premultiplied),
                    {12 * size.width() / 1024.0, size.height() / 2.0},
                    size.width() / 1024.0};
    picture.image.fill(background);
    QPainter painter(&picture.image);
    painter.translate(picture.origin);
    painter.scale(picture.scale, picture.scale);
    drawBody(painter, type, input);
    return picture;
}

BodyInput input(QStringView type, std::optional<BarrelSpec> barrel = std::nullopt,
                QStringView ink = u"#6FB3E0", bool dark = false, double pixelScale = 2) {
    return makeBodyInput(type, barrel, ink, dark, pixelScale);
}

BarrelSpec plainBarrel(RGB top, RGB bottom) {
    return {u"test"_s, top, bottom};
}

double lightness(const QColor& colour) {
    return 0.299 * colour.red() + 0.587 * colour.green() + 0.114 * colour.blue();
}

bool near(const QColor& colour, const RGB& expected, int tolerance = 1) {
    return std::abs(colour.red() - int(expected.r)) <= tolerance &&
           std::abs(colour.green() - int(expected.g)) <= tolerance &&
           std::abs(colour.blue() - int(expected.b)) <= tolerance;
}

QByteArray describe(const QColor& colour) {
    return colour.name().toLatin1();
}

void addTypeRows() {
    QTest::addColumn<QString>("type");
    for (const QString& type : penTypes)
        QTest::newRow(type.toLatin1()) << type;
}

} // namespace

class TestBodyPainter : public QObject {
    Q_OBJECT

private slots:
    // The record the pen routine builds.

    void inputFromCatalog() {
        const BodyInput brush = makeBodyInput(u"brush", std::nullopt, u"#5FC2A0", true, 3);
        QCOMPARE(brush.thick, 72.0);
        QCOMPARE(brush.palette, darkPenPalette());
        QCOMPARE(brush.top, darkPenPalette()[paletteEntry::barrelTop]);
        QCOMPARE(brush.bottom, darkPenPalette()[paletteEntry::barrelBottom]);
        QCOMPARE(brush.ink, (RGB{0x5F, 0xC2, 0xA0}));
        QCOMPARE(brush.pixelScale, 3.0);
        QVERIFY(brush.dark);

        const BarrelSpec barrel = plainBarrel({10, 20, 30}, {40, 50, 60});
        const BodyInput pencil = makeBodyInput(u"no such type", barrel, u"#3A3A3C", false, 1);
        QCOMPARE(pencil.thick, 66.0);
        QCOMPARE(pencil.top, barrel.top);
        QCOMPARE(pencil.bottom, barrel.bottom);
        QCOMPARE(pencil.palette, lightPenPalette());
    }

    void inkOutsideTheCatalogFallsBack_data() {
        QTest::addColumn<QString>("ink");
        QTest::newRow("unknown colour") << u"#123456"_s;
        QTest::newRow("not a colour") << u"blue"_s;
        QTest::newRow("empty") << QString();
        QTest::newRow("without hash") << u"6FB3E0"_s;
    }
    void inkOutsideTheCatalogFallsBack() {
        QFETCH(QString, ink);
        const RGB first = rgbFromHex(inkColours().first());
        QCOMPARE(inkColour(ink), first);
        QCOMPARE(input(u"gel", std::nullopt, ink).ink, first);
        // And it draws exactly like the first ink.
        QCOMPARE(render(u"gel", input(u"gel", std::nullopt, ink)).image,
                 render(u"gel", input(u"gel", std::nullopt, inkColours().first())).image);
    }

    // Cylinder shading.

    void barrelShadingStops() {
        const RGB top{100, 150, 200};
        const RGB bottom{60, 90, 120};
        const QLinearGradient g = barrelShading(80, top, bottom);
        QCOMPARE(g.start(), QPointF(0, -40));
        QCOMPARE(g.finalStop(), QPointF(0, 40));
        const QGradientStops stops = g.stops();
        QCOMPARE(stops.size(), 6);
        const double positions[] = {0, 0.22, 0.5, 0.8, 0.94, 1};
        const RGB colours[] = {{126, 176, 226}, {185, 208, 230}, top,
                               bottom,          {50, 80, 110},   {24, 54, 84}};
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(stops[i].first, positions[i]);
            QVERIFY2(near(stops[i].second, colours[i], 0), describe(stops[i].second));
        }
    }

    void nearWhiteBarrelKeepsItsHighlight() {
        const RGB top{254, 254, 255};
        const QGradientStops stops = barrelShading(66, top, top).stops();
        QCOMPARE(stops[0].second, QColor(255, 255, 255));
        QCOMPARE(stops[1].second, QColor(255, 255, 255));
        QCOMPARE(stops[2].second, QColor(254, 254, 255));
        QVERIFY(lightness(stops[4].second) < lightness(stops[3].second));
        QVERIFY(lightness(stops[5].second) < lightness(stops[4].second));
    }

    // Outlines.

    void outlineSpansTheBody_data() {
        QTest::addColumn<QString>("type");
        QTest::addColumn<double>("left");
        QTest::addColumn<double>("top");    // in units of T
        QTest::addColumn<double>("bottom"); // in units of T
        QTest::newRow("pencil") << u"pencil"_s << 0.0 << -0.62 << 0.62;
        QTest::newRow("ballpoint") << u"ballpoint"_s << 14.0 << -0.88 << 0.56;
        QTest::newRow("gel") << u"gel"_s << 48.0 << -0.62 << 0.62;
        QTest::newRow("fountain") << u"fountain"_s << 6.0 << -0.88 << 0.58;
        QTest::newRow("brush") << u"brush"_s << 4.0 << -0.62 << 0.62;
        QTest::newRow("highlighter") << u"highlighter"_s << 2.0 << -0.62 << 0.62;
        QTest::newRow("mechanical") << u"mechanical"_s << 26.0 << -0.88 << 0.56;
        QTest::newRow("unknown") << u"quill"_s << 0.0 << -0.62 << 0.62;
    }
    void outlineSpansTheBody() {
        QFETCH(QString, type);
        QFETCH(double, left);
        QFETCH(double, top);
        QFETCH(double, bottom);
        const double T = 72;
        const QRectF bounds = bodyOutline(type, T).boundingRect();
        QCOMPARE(bounds.left(), left);
        QCOMPARE(bounds.right(), 1000.0);
        QVERIFY2(std::abs(bounds.top() - top * T) < 1e-6, QByteArray::number(bounds.top()));
        QVERIFY2(std::abs(bounds.bottom() - bottom * T) < 1e-6,
                 QByteArray::number(bounds.bottom()));
    }

    void outlineIsOneClosedBody_data() { addTypeRows(); }
    void outlineIsOneClosedBody() {
        QFETCH(QString, type);
        const double T = 66;
        const QPainterPath outline = bodyOutline(type, T);
        // The whole barrel, the tip and the back end are inside; nothing below the body is.
        for (double x = 240; x <= 990; x += 10)
            QVERIFY2(outline.contains(QPointF(x + 5, 0.3 * T)), QByteArray::number(x));
        QVERIFY(outline.contains(QPointF(60, 0)));
        QVERIFY(outline.contains(QPointF(998, 0)));
        QVERIFY(!outline.contains(QPointF(500, 0.7 * T)));
        QVERIFY(!outline.contains(QPointF(500, -0.7 * T)));
        QVERIFY(!outline.contains(QPointF(1001, 0)));
    }

    // Drawing.

    void unknownTypeDrawsThePencil_data() {
        QTest::addColumn<QString>("type");
        QTest::newRow("unknown") << u"crayon"_s;
        QTest::newRow("empty") << QString();
        QTest::newRow("different case") << u"Gel"_s;
    }
    void unknownTypeDrawsThePencil() {
        QFETCH(QString, type);
        const BodyInput body = input(u"pencil");
        QCOMPARE(render(type, body).image, render(u"pencil", body).image);
        QVERIFY(render(u"gel", body).image != render(u"pencil", body).image);
    }

    void drawsAtEverySize_data() {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<double>("pixelScale");
        for (const QString& type : penTypes + QStringList{u"unknown"_s}) {
            for (const QSize size : {QSize(1, 1), QSize(64, 16), QSize(4000, 400)}) {
                for (const double pixelScale : {0.05, 1.0, 8.0}) {
                    QTest::addRow("%s %dx%d at %g", qPrintable(type), size.width(), size.height(),
                                  pixelScale)
                        << type << size << pixelScale;
                }
            }
        }
    }
    void drawsAtEverySize() {
        QFETCH(QString, type);
        QFETCH(QSize, size);
        QFETCH(double, pixelScale);
        const Picture picture = render(
            type, input(type, std::nullopt, u"#6FB3E0", false, pixelScale), size, Qt::transparent);
        if (size.width() >= 64) {
            // Something of the barrel is drawn at mid-length.
            QVERIFY(picture.at({600, 0}).alpha() > 0);
        }
    }

    void oddInputsDrawWithoutFault_data() {
        QTest::addColumn<double>("thick");
        QTest::addColumn<double>("pixelScale");
        QTest::newRow("no pixel scale") << 66.0 << 0.0;
        QTest::newRow("negative pixel scale") << 66.0 << -2.0;
        QTest::newRow("not a number") << 66.0 << std::nan("");
        QTest::newRow("flat body") << 0.0 << 2.0;
        QTest::newRow("huge body") << 5000.0 << 2.0;
    }
    void oddInputsDrawWithoutFault() {
        QFETCH(double, thick);
        QFETCH(double, pixelScale);
        for (const QString& type : penTypes) {
            BodyInput body = input(type);
            body.thick = thick;
            body.pixelScale = pixelScale;
            render(type, body, {256, 64});
        }
    }

    void leavesThePainterAsFound_data() { addTypeRows(); }
    void leavesThePainterAsFound() {
        QFETCH(QString, type);
        QImage image(200, 40, QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&image);
        painter.translate(3, 20);
        painter.scale(0.2, 0.2);
        painter.setOpacity(0.8);
        painter.setPen(QPen(Qt::red, 3));
        painter.setBrush(Qt::green);
        painter.setClipRect(QRectF(0, -100, 900, 200));
        const QTransform transform = painter.worldTransform();
        const QRegion clip = painter.clipRegion();
        drawBody(painter, type, input(type));
        QCOMPARE(painter.worldTransform(), transform);
        QCOMPARE(painter.opacity(), 0.8);
        QCOMPARE(painter.pen(), QPen(Qt::red, 3));
        QCOMPARE(painter.brush(), QBrush(Qt::green));
        QCOMPARE(painter.clipRegion(), clip);
        QVERIFY(!painter.testRenderHint(QPainter::Antialiasing));
    }

    void barrelIsShadedLikeACylinder_data() { addTypeRows(); }
    void barrelIsShadedLikeACylinder() {
        QFETCH(QString, type);
        const BarrelSpec blue = plainBarrel({120, 190, 240}, {80, 150, 210});
        const double T = penTypeFor(type).thick;
        const Picture picture = render(type, input(type, blue));
        const QColor upper = picture.at({620, -0.36 * T});
        const QColor lower = picture.at({620, 0.44 * T});
        QVERIFY2(lightness(upper) > lightness(lower) + 20,
                 describe(upper) + " over " + describe(lower));
    }

    void blackBarrelIsDark_data() { addTypeRows(); }
    void blackBarrelIsDark() {
        QFETCH(QString, type);
        const BarrelSpec black = plainBarrel({24, 24, 26}, {12, 12, 14});
        const double T = penTypeFor(type).thick;
        // The gel's barrel lets the background through, so it sits on black.
        const QColor background = type == u"gel" ? Qt::black : Qt::white;
        const Picture picture = render(type, input(type, black), {2048, 400}, background);
        for (const double y : {0.25, 0.35, 0.45}) {
            const QColor colour = picture.at({620, y * T});
            QVERIFY2(lightness(colour) < 60, describe(colour) + " at " + QByteArray::number(y));
        }
    }

    void pencilFacetsAreFlatBands() {
        const BarrelSpec barrel = plainBarrel({200, 120, 90}, {170, 90, 60});
        const Picture picture = render(u"pencil", input(u"pencil", barrel));
        const double T = 66; // facets 22 high: -33 … -11 … 11 … 33
        const RGB upper = lightened(barrel.top, 0.34);
        const RGB middle = barrel.top;
        const RGB lower = shifted(barrel.bottom, -0.05);
        for (const double x : {200.0, 500.0, 900.0}) {
            QVERIFY(near(picture.at({x, -T / 2 + 1}), upper));
            QVERIFY(near(picture.at({x, -11.8}), upper));
            QVERIFY(near(picture.at({x, -10.2}), middle));
            QVERIFY(near(picture.at({x, 10.2}), middle));
            QVERIFY(near(picture.at({x, 11.8}), lower));
            QVERIFY(near(picture.at({x, T / 2 - 1}), lower));
        }
        // The sharpened wood is in the barrel's lower colour, the lead in metal.
        QVERIFY(near(picture.at({70, 0}), barrel.bottom));
        QVERIFY(near(picture.at({20, 3}), shifted(lightPenPalette()[paletteEntry::metal], -0.22)));
    }

    void pencilFacetEdgesNeedSixDevicePixels() {
        const double T = 66;
        // At one pixel per unit, the edge line is 1 / pixelScale units wide.
        auto edge = [&](double pixelScale) {
            const Picture picture = render(u"pencil",
                                           input(u"pencil", plainBarrel({90, 90, 90}, {90, 90, 90}),
                                                 u"#6FB3E0", false, pixelScale),
                                           {1024, 200});
            return picture.at({500, -T / 6 + 3});
        };
        // 66 · 0.05 < 6: no edges, the middle facet's own colour.
        QVERIFY(near(edge(0.05), {90, 90, 90}));
        // 66 · 0.1 ≥ 6: a 10-unit white edge line at opacity 0.45.
        QVERIFY2(lightness(edge(0.1)) > 150, describe(edge(0.1)));
    }

    void inkShowsWhereTheInkIs_data() {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QPointF>("probe"); // y in units of T
        QTest::newRow("gel refill") << u"gel"_s << QPointF(600, 0);
        QTest::newRow("gel refill front") << u"gel"_s << QPointF(200, 0);
        QTest::newRow("brush head") << u"brush"_s << QPointF(120, 0.02);
        QTest::newRow("highlighter chisel") << u"highlighter"_s << QPointF(40, 0.2);
        QTest::newRow("highlighter collar") << u"highlighter"_s << QPointF(100, 0.3);
        QTest::newRow("highlighter cap") << u"highlighter"_s << QPointF(950, 0.2);
    }
    void inkShowsWhereTheInkIs() {
        QFETCH(QString, type);
        QFETCH(QPointF, probe);
        const double T = penTypeFor(type).thick;
        const QPointF point(probe.x(), probe.y() * T);
        const BarrelSpec grey = plainBarrel({200, 200, 200}, {180, 180, 180});
        const QColor green = render(type, input(type, grey, u"#5FC2A0")).at(point);
        const QColor pink = render(type, input(type, grey, u"#F4A0B9")).at(point);
        QVERIFY2(green.green() > green.red() + 20, describe(green));
        QVERIFY2(pink.red() > pink.green() + 20, describe(pink));
    }

    void darkPaletteDarkensMetalAndBody_data() {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QPointF>("probe"); // y in units of T
        QTest::newRow("pencil ferrule") << u"pencil"_s << QPointF(979, 0);
        QTest::newRow("pencil barrel") << u"pencil"_s << QPointF(600, 0);
        QTest::newRow("ballpoint cone") << u"ballpoint"_s << QPointF(80, 0);
        QTest::newRow("ballpoint clip") << u"ballpoint"_s << QPointF(900, -0.75);
        QTest::newRow("gel end") << u"gel"_s << QPointF(979, 0);
        QTest::newRow("fountain section") << u"fountain"_s << QPointF(172, 0.1);
        QTest::newRow("fountain barrel") << u"fountain"_s << QPointF(600, 0.3);
        QTest::newRow("brush ferrule") << u"brush"_s << QPointF(210, 0.38);
        QTest::newRow("highlighter barrel") << u"highlighter"_s << QPointF(600, 0.3);
        QTest::newRow("mechanical cone") << u"mechanical"_s << QPointF(150, 0.1);
        QTest::newRow("mechanical end") << u"mechanical"_s << QPointF(950, 0.3);
    }
    void darkPaletteDarkensMetalAndBody() {
        QFETCH(QString, type);
        QFETCH(QPointF, probe);
        const double T = penTypeFor(type).thick;
        const QPointF point(probe.x(), probe.y() * T);
        const QColor light = render(type, input(type, std::nullopt, u"#6FB3E0", false)).at(point);
        const QColor dark = render(type, input(type, std::nullopt, u"#6FB3E0", true)).at(point);
        QVERIFY2(lightness(dark) + 15 < lightness(light),
                 describe(dark) + " vs " + describe(light));
    }

    void metalIsShadedTopToBottom() {
        // The ferrule's metal gradient: bright at the top edge, darkest near the bottom.
        const Picture picture = render(u"pencil", input(u"pencil"));
        const double T = 66;
        const QColor top = picture.at({979, -0.6 * T});
        const QColor low = picture.at({979, 0.35 * T});
        QVERIFY2(lightness(top) > lightness(low) + 15, describe(top) + " vs " + describe(low));
    }

    void paintingFollowsThePainterOpacity_data() {
        QTest::addColumn<QString>("type");
        QTest::addColumn<double>("alpha"); // of the barrel below the axis, at half opacity
        QTest::newRow("opaque barrel") << u"fountain"_s << 0.5;
        QTest::newRow("see-through barrel") << u"gel"_s << 0.5 * 0.55;
    }
    void paintingFollowsThePainterOpacity() {
        QFETCH(QString, type);
        QFETCH(double, alpha);
        QImage image(1024, 200, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.translate(12, 100);
        painter.setOpacity(0.5);
        drawBody(painter, type, input(type));
        painter.end();
        const int drawn = image.pixelColor(612, 100 + 22).alpha();
        QVERIFY2(std::abs(drawn - alpha * 255) < 8, QByteArray::number(drawn));
    }
};

QTEST_MAIN(TestBodyPainter)
#include "tst_bodypainter.moc"
