#include "store/widgetsnapshot.h"

#include <QTest>

using namespace tessaro;
using namespace Qt::StringLiterals;

class TestWidgetSnapshot : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void quotesAreCutByCharacters() {
        QList<Quote> quotes;
        for (int i = 0; i < 5; ++i)
            quotes.append({QString::number(i), u"quote "_s + QString::number(i), {}, {}, 5.0 - i});
        quotes[1].text = QString(u"ä"_s).repeated(200);
        quotes[2].text = QString(u"👩‍👩‍👧"_s).repeated(170);
        const PenSnapshot snapshot = makeSnapshot(Pen(), quotes, nullptr);
        QCOMPARE(snapshot.quotes.size(), 3);
        QCOMPARE(snapshot.quotes[0], u"quote 0"_s);
        QCOMPARE(snapshot.quotes[1], QString(u"ä"_s).repeated(160));
        QCOMPARE(snapshot.quotes[2], QString(u"👩‍👩‍👧"_s).repeated(160));
        QVERIFY(makeSnapshot(Pen(), {}, nullptr).quotes.isEmpty());
    }

    void penAndDrawing() {
        Pen pen;
        pen.beads = {u"cherry"_s, u"no-such-bead"_s};
        pen.type = u"quill"_s;
        pen.ink = u"#ffffff"_s;
        Drawing drawing;
        drawing.thumbnailPNG = QByteArray(maxThumbnailBytes, 'x');
        PenSnapshot snapshot = makeSnapshot(pen, {}, &drawing);
        QCOMPARE(snapshot.beads, pen.beads);
        QCOMPARE(snapshot.type, u"pencil"_s);
        QCOMPARE(snapshot.ink, u"#F4A0B9"_s);
        QCOMPARE(snapshot.drawingPNG, drawing.thumbnailPNG);

        drawing.thumbnailPNG = QByteArray(maxThumbnailBytes + 1, 'x');
        snapshot = makeSnapshot(pen, {}, &drawing);
        QVERIFY(!snapshot.drawingPNG);
        QVERIFY(!snapshot.toJson().contains("drawingPNG"));
    }
};

QTEST_GUILESS_MAIN(TestWidgetSnapshot)
#include "tst_widgetsnapshot.moc"
