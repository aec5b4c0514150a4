#include "model/catalog.h"

#include <QRegularExpression>
#include <QSet>
#include <QTest>

using namespace tessaro;
using namespace Qt::StringLiterals;

class TestCatalog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Each id finds its own entry (so no id is used twice), letters are on
    // letter beads, each pen type has its own enum value, and inks are
    // spelled as documents store them.
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
            // Letter beads carry their letter, and only they do.
            QCOMPARE(bead.shape == BeadShape::letter, bead.letter.has_value());
            QVERIFY(!bead.letter.value_or(u"x"_s).isEmpty());
        }
        for (const BarrelSpec& barrel : barrelCatalog())
            QCOMPARE(barrelById(barrel.id), &barrel);
        QCOMPARE(penTypeCatalog().size(), qsizetype(PenType::mechanical) + 1);
        for (const PenTypeSpec& type : penTypeCatalog()) {
            QCOMPARE(penTypeById(type.id), &type);
            QCOMPARE(penTypeSpec(type.type).id, type.id);
            QVERIFY2(type.thick > 0 && type.thick <= maxThick, qPrintable(type.id));
        }
        const QRegularExpression hex(u"^#[0-9A-F]{6}$"_s);
        for (const QString& ink : inkColours())
            QVERIFY2(hex.match(ink).hasMatch(), qPrintable(ink));
        QCOMPARE(QSet<QString>(inkColours().cbegin(), inkColours().cend()).size(),
                 inkColours().size());
    }
};

QTEST_GUILESS_MAIN(TestCatalog)
#include "tst_catalog.moc"
