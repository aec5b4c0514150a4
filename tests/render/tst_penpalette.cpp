#include "render/penpalette.h"

#include <QTest>

using namespace tessaro;

class TestPenPalette : public QObject {
    Q_OBJECT

private slots:
    void entries_data() {
        QTest::addColumn<bool>("dark");
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("hex");
        const char* light[] = {"#FFF4EA", "#F0DFD0", "#D9B79E", "#5A4A42", "#FFF8F0", "#A8968C"};
        const char* dark[] = {"#6A5346", "#57433A", "#B08A70", "#F6EDE4", "#2B211C", "#B9A59A"};
        for (int i = 0; i < 6; ++i) {
            QTest::addRow("light %d", i) << false << i << QString::fromLatin1(light[i]);
            QTest::addRow("dark %d", i) << true << i << QString::fromLatin1(dark[i]);
        }
    }
    void entries() {
        QFETCH(bool, dark);
        QFETCH(int, entry);
        QFETCH(QString, hex);
        QCOMPARE(penPalette(dark)[std::size_t(entry)], rgbFromHex(hex));
    }

    void choosesByAppearance() {
        QCOMPARE(&penPalette(false), &lightPenPalette());
        QCOMPARE(&penPalette(true), &darkPenPalette());
    }
};

QTEST_MAIN(TestPenPalette)
#include "tst_penpalette.moc"
