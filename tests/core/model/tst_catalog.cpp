#include "model/catalog.h"

#include <QRegularExpression>
#include <QSet>
#include <QTest>

using namespace tessaro;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(tessaro::RGB)

namespace {

// Every catalog colour is written in hex, and an unreadable one reads as black.
bool readable(const RGB& rgb) {
    return rgb != RGB{};
}

} // namespace

class TestCatalog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsHexColours_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<RGB>("expected");
        QTest::newRow("with #") << u"#F4A0B9"_s << RGB{244, 160, 185};
        QTest::newRow("without #") << u"F4A0B9"_s << RGB{244, 160, 185};
        QTest::newRow("lower case") << u"#ff0080"_s << RGB{255, 0, 128};
        QTest::newRow("three digits read as a number") << u"#FFF"_s << RGB{0, 15, 255};
        QTest::newRow("eight digits keep the low 24 bits")
            << u"#12345678"_s << RGB{0x34, 0x56, 0x78};
        QTest::newRow("plus sign accepted") << u"+FF0000"_s << RGB{255, 0, 0};
        for (const QString& bad : {u""_s, u"#"_s, u"#F4A0G9"_s, u"-FF"_s, u"#+"_s, u"#1FFFFFFFF"_s,
                                   u"# FFFFFF"_s, u"##FFFFFF"_s})
            QTest::addRow("unreadable '%s'", qPrintable(bad)) << bad << RGB{};
    }

    void readsHexColours() {
        QFETCH(QString, text);
        QFETCH(RGB, expected);
        QCOMPARE(rgbFromHex(text), expected);
    }

    void shiftRoundsAndClamps() {
        QCOMPARE(shift(200, -0.054), 186.0);
        // Halves round away from zero: 0.5 / 255 lifts by exactly half a step.
        QCOMPARE(shift(100, 0.5 / 255), 101.0);
        for (double amount : {-1e300, -2.0, -0.3, 0.0, 0.7, 3.0, 1e300, qInf(), -qInf(), qQNaN()}) {
            for (double channel : {0.0, 128.0, 255.0}) {
                const double moved = shift(channel, amount);
                QVERIFY2(moved >= 0 && moved <= 255, qPrintable(QString::number(amount)));
            }
        }
    }

    // Lookups match ids exactly, and every default is in its own table.
    void lookups() {
        QVERIFY(beadById(u"letter-L"_s) && beadById(u"hangul-jjang"_s));
        QVERIFY(!beadById(u"Cherry"_s) && !beadById(QString()));
        QVERIFY(barrelById(defaultBarrel) && !barrelById(u"gold"_s));
        QVERIFY(penTypeById(defaultPenType) && !penTypeById(u"quill"_s));
        QCOMPARE(penTypeFor(u"quill"_s).id, defaultPenType);
        QCOMPARE(penTypeFor(u"quill"_s).type, PenType::pencil);
        QVERIFY(isCharmKind(defaultCharm) && !isCharmKind(u"cat"_s));
        QVERIFY(isInkColour(defaultInk) && !isInkColour(u"#f4a0b9"_s));
        QVERIFY(isBeadGroup(defaultGroup) && !isBeadGroup(u"Glass"_s));
    }

    // Each id finds its own entry (so no id is used twice), colours are
    // readable, letters are on letter beads.
    void catalogIsConsistent() {
        qsizetype grouped = 0;
        for (const QString& group : beadGroups()) {
            const QList<BeadSpec> beads = beadsInGroup(group);
            QVERIFY2(!beads.isEmpty(), qPrintable(group));
            grouped += beads.size();
        }
        QCOMPARE(grouped, beadCatalog().size());
        for (const BeadSpec& bead : beadCatalog()) {
            QCOMPARE(beadById(bead.id), &bead);
            QVERIFY2(readable(bead.rgb) && readable(bead.centre.value_or(bead.rgb)),
                     qPrintable(bead.id));
            // Letter beads carry their letter, and only they do.
            QCOMPARE(bead.shape == BeadShape::letter, bead.letter.has_value());
            QVERIFY(!bead.letter.value_or(u"x"_s).isEmpty());
        }
        for (const BarrelSpec& barrel : barrelCatalog()) {
            QCOMPARE(barrelById(barrel.id), &barrel);
            QVERIFY2(readable(barrel.top) && readable(barrel.bottom), qPrintable(barrel.id));
        }
        for (const PenTypeSpec& type : penTypeCatalog()) {
            QCOMPARE(penTypeById(type.id), &type);
            QVERIFY2(type.thick > 0 && type.thick <= maxThick, qPrintable(type.id));
        }
        const QRegularExpression hex(u"^#[0-9A-F]{6}$"_s);
        for (const QString& ink : inkColours())
            QVERIFY2(hex.match(ink).hasMatch() && readable(rgbFromHex(ink)), qPrintable(ink));
        QCOMPARE(QSet<QString>(inkColours().cbegin(), inkColours().cend()).size(),
                 inkColours().size());
    }

    // Each type has its own enum value, found again from its id; shapes
    // are stored by name.
    void namesRoundTrip() {
        QCOMPARE(penTypeCatalog().size(), qsizetype(PenType::mechanical) + 1);
        for (const PenTypeSpec& entry : penTypeCatalog()) {
            QCOMPARE(penTypeSpec(entry.type).id, entry.id);
            QCOMPARE(penTypeFor(entry.id).type, entry.type);
        }
        for (int i = 0; i <= int(BeadShape::rhine); ++i)
            QCOMPARE(beadShapeFromName(beadShapeName(BeadShape(i))), std::optional(BeadShape(i)));
        QCOMPARE(beadShapeFromName(u"Round"), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestCatalog)
#include "tst_catalog.moc"
