#include "store/widgetsnapshot.h"

#include <QTest>

using namespace tessaro;
using namespace Qt::StringLiterals;

class TestWidgetSnapshot : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The widget gets the first three quotes cut by characters, a pen it can
    // draw, and the drawing only while it fits.
    void snapshotFitsTheWidget() {
        QList<Quote> quotes;
        for (int i = 0; i < 5; ++i)
            quotes.append({QString::number(i), u"quote "_s + QString::number(i), {}, {}, 5.0 - i});
        quotes[1].text = QString(u"ä"_s).repeated(200);
        quotes[2].text = QString(u"👩‍👩‍👧"_s).repeated(170);
        Pen pen;
        pen.beads = {u"cherry"_s, u"no-such-bead"_s};
        pen.type = u"quill"_s;
        pen.ink = u"#ffffff"_s;
        Drawing drawing;
        drawing.thumbnailPNG = QByteArray(maxThumbnailBytes, 'x');
        PenSnapshot snapshot = makeSnapshot(pen, quotes, &drawing);
        QCOMPARE(snapshot.quotes, (QStringList{u"quote 0"_s, QString(u"ä"_s).repeated(160),
                                               QString(u"👩‍👩‍👧"_s).repeated(160)}));
        QCOMPARE(snapshot.beads, pen.beads);
        QCOMPARE(snapshot.type, u"pencil"_s);
        QCOMPARE(snapshot.ink, u"#F4A0B9"_s);
        QCOMPARE(snapshot.drawingPNG, drawing.thumbnailPNG);

        drawing.thumbnailPNG = QByteArray(maxThumbnailBytes + 1, 'x');
        snapshot = makeSnapshot(pen, {}, &drawing);
        QVERIFY(snapshot.quotes.isEmpty());
        QVERIFY(!snapshot.drawingPNG);
        QVERIFY(!snapshot.toJson().contains("drawingPNG"));
    }
};

QTEST_GUILESS_MAIN(TestWidgetSnapshot)
#include "tst_widgetsnapshot.moc"
