#include "model/catalog.h"

#include <QRegularExpression>
#include <QSet>
#include <QTest>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

// Every catalog colour is written in hex, and an unreadable one reads as black.
bool readable(const RGB& rgb) {
    return rgb != RGB{};
}

} // namespace

class TestCatalog : public QObject {
    Q_OBJECT

private Q_SLOTS:
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

    // Each type has its own enum value, found again from its id.
    void namesRoundTrip() {
        QCOMPARE(penTypeCatalog().size(), qsizetype(PenType::mechanical) + 1);
        for (const PenTypeSpec& entry : penTypeCatalog()) {
            QCOMPARE(penTypeSpec(entry.type).id, entry.id);
            QCOMPARE(penTypeFor(entry.id).type, entry.type);
        }
    }
};

QTEST_GUILESS_MAIN(TestCatalog)
#include "tst_catalog.moc"
