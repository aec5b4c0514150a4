#include "model/catalog.h"

#include <QSet>
#include <QTest>

using namespace tessaro;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(tessaro::RGB)

class TestCatalog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsHexColours_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<RGB>("expected");
        QTest::newRow("with #") << u"#F4A0B9"_s << RGB{244, 160, 185};
        QTest::newRow("without #") << u"F4A0B9"_s << RGB{244, 160, 185};
        QTest::newRow("brown ink") << u"#7A5A4C"_s << RGB{122, 90, 76};
        QTest::newRow("lower case") << u"#ff0080"_s << RGB{255, 0, 128};
        QTest::newRow("three digits read as a number") << u"#FFF"_s << RGB{0, 15, 255};
        QTest::newRow("eight digits keep the low 24 bits")
            << u"#12345678"_s << RGB{0x34, 0x56, 0x78};
        QTest::newRow("empty") << QString() << RGB{};
        QTest::newRow("lone #") << u"#"_s << RGB{};
        QTest::newRow("letter beyond F") << u"#F4A0G9"_s << RGB{};
        QTest::newRow("plus sign accepted") << u"+FF0000"_s << RGB{255, 0, 0};
        QTest::newRow("minus zero") << u"-0"_s << RGB{};
        QTest::newRow("minus non-zero fails") << u"-FF"_s << RGB{};
        QTest::newRow("lone plus fails") << u"#+"_s << RGB{};
        QTest::newRow("more than 32 bits fails") << u"#1FFFFFFFF"_s << RGB{};
        QTest::newRow("space fails") << u"# FFFFFF"_s << RGB{};
        QTest::newRow("second # fails") << u"##FFFFFF"_s << RGB{};
    }

    void readsHexColours() {
        QFETCH(QString, text);
        QFETCH(RGB, expected);
        const RGB rgb = tessaro::rgbFromHex(text);
        QCOMPARE(rgb.r, expected.r);
        QCOMPARE(rgb.g, expected.g);
        QCOMPARE(rgb.b, expected.b);
    }

    void shiftRoundsAndClamps() {
        QCOMPARE(shift(200, 0.2), 251.0);
        QCOMPARE(shift(200, -0.054), 186.0);
        QCOMPARE(shift(250, 0.1), 255.0);
        QCOMPARE(shift(10, -1), 0.0);
        // Halves round away from zero: 0.5 / 255 lifts by exactly half a step.
        QCOMPARE(shift(100, 0.5 / 255), 101.0);
        for (double amount : {-1e300, -2.0, -0.3, 0.0, 0.7, 3.0, 1e300, qInf(), -qInf(), qQNaN()}) {
            for (double channel : {0.0, 128.0, 255.0}) {
                const double moved = shift(channel, amount);
                QVERIFY2(moved >= 0 && moved <= 255, qPrintable(QString::number(amount)));
            }
        }
    }

    void tableSizes() {
        QCOMPARE(beadCatalog().size(), 61);
        QCOMPARE(barrelCatalog().size(), 5);
        QCOMPARE(penTypeCatalog().size(), 7);
        QCOMPARE(plainInks().size(), 6);
        QCOMPARE(neonInks().size(), 5);
        QCOMPARE(inkColours().size(), 11);
        QCOMPARE(charmKinds().size(), 5);
        QCOMPARE(beadGroups().size(), 7);
        qsizetype grouped = 0;
        for (const QString& group : beadGroups())
            grouped += beadsInGroup(group).size();
        QCOMPARE(grouped, beadCatalog().size());
    }

    void idsAreUniqueAndFoundExactly() {
        QSet<QString> ids;
        for (const BeadSpec& bead : beadCatalog()) {
            QVERIFY2(!ids.contains(bead.id), qPrintable(bead.id));
            ids.insert(bead.id);
            QCOMPARE(beadById(bead.id), &bead);
        }
        QVERIFY(beadById(u"Cherry"_s) == nullptr);
        QVERIFY(beadById(QString()) == nullptr);
        QVERIFY(beadsInGroup(u"Glass"_s).isEmpty());
    }

    void specialBeads() {
        const BeadSpec* letter = beadById(u"letter-L"_s);
        QVERIFY(letter);
        QCOMPARE(letter->group, u"letter"_s);
        QCOMPARE(letter->shape, BeadShape::letter);
        QCOMPARE(letter->letter, std::optional(u"L"_s));
        QCOMPARE(letter->rgb, rgbFromHex(u"#F8F5F0"));
        QCOMPARE(beadById(u"hangul-jjang"_s)->letter, std::optional(u"짱"_s));
        QCOMPARE(beadById(u"hangul-jjang"_s)->shape, BeadShape::letter);

        qsizetype withCentre = 0;
        for (const BeadSpec& bead : beadCatalog())
            withCentre += bead.centre.has_value();
        QCOMPARE(withCentre, 1);
        QCOMPARE(beadById(u"flower-yellow"_s)->centre, std::optional(rgbFromHex(u"#F4A0B9")));

        const QList<BeadSpec> letters = beadsInGroup(u"letter"_s);
        QString order;
        for (const BeadSpec& bead : letters)
            order += *bead.letter;
        QCOMPARE(order, u"LOVECUTAB"_s);
        QCOMPARE(beadCatalog().first().id, u"cherry"_s);
        QCOMPARE(beadCatalog().last().id, u"rhine-gold"_s);
    }

    void penTypesAndInks() {
        QCOMPARE(penTypeFor(u"nonsense"_s).id, u"pencil"_s);
        QCOMPARE(penTypeFor(u"brush"_s).thick, 72.0);
        double thickest = 0;
        for (const PenTypeSpec& type : penTypeCatalog()) {
            thickest = std::max(thickest, type.thick);
            QCOMPARE(inksFor(type), type.id == u"highlighter" ? neonInks() : plainInks());
        }
        QCOMPARE(thickest, maxThick);
        QCOMPARE(barrelCatalog().first().id, defaultBarrel);
        QVERIFY(isInkColour(u"#FFF176"));
        QVERIFY(!isInkColour(u"#f4a0b9"));
    }

    // Each type has its own enum value, found again from its id.
    void penTypeIdsRoundTrip() {
        QCOMPARE(penTypeCatalog().size(), qsizetype(PenType::mechanical) + 1);
        for (const PenTypeSpec& spec : penTypeCatalog()) {
            QCOMPARE(penTypeSpec(spec.type).id, spec.id);
            QCOMPARE(penTypeFor(spec.id).type, spec.type);
        }
        QCOMPARE(penTypeFor(u"nonsense"_s).type, PenType::pencil);
    }

    void shapeNamesRoundTrip() {
        for (int i = 0; i <= int(BeadShape::rhine); ++i)
            QCOMPARE(beadShapeFromName(beadShapeName(BeadShape(i))), std::optional(BeadShape(i)));
        QCOMPARE(beadShapeFromName(u"Round"), std::nullopt);
        QCOMPARE(beadShapeName(BeadShape::rhine), u"rhine"_s);
    }
};

QTEST_GUILESS_MAIN(TestCatalog)
#include "tst_catalog.moc"
