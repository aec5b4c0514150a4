#include "model/pensnapshot.h"

#include <QTest>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

// JSON written with single quotes, for readable tests.
QByteArray json(const char* text) {
    return QByteArray(text).replace('\'', '"');
}

} // namespace

class TestPenSnapshot : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readBackAsWritten() {
        PenSnapshot snapshot;
        snapshot.beads = {u"star"_s, u"no-such-bead"_s};
        snapshot.type = u"gel"_s;
        snapshot.quotes = {u"Hi \"you\"\n"_s, u"ä👩‍👩‍👧"_s};
        snapshot.drawingPNG = QByteArray("\x89PNG\0", 5);
        const QByteArray written = snapshot.toJson();
        QVERIFY(written.startsWith(json("{'beads':['star','no-such-bead'],'barrel':'white'")));
        QCOMPARE(PenSnapshot::fromJson(written), snapshot);
        // The widget draws a repaired pen.
        QCOMPARE(snapshot.pen().beads, QStringList{u"star"_s});
        snapshot.drawingPNG.reset();
        QVERIFY(!snapshot.toJson().contains("drawingPNG"));
    }

    // Whatever the bytes, the reader gets a snapshot within the limits. The
    // widget's own test reads garbage, oversized files and drawings at and
    // over their limit.
    void tolerantReading_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<PenSnapshot>("expected");
        PenSnapshot gel;
        gel.type = u"gel"_s;
        QTest::newRow("wrong types")
            << json("{'beads':[1],'type':'gel','ink':7,'quotes':'x'}") << gel;
        PenSnapshot cut;
        cut.quotes = {u"1"_s, QString(u"ä"_s).repeated(160), u"3"_s};
        QTest::newRow("quotes over the limits")
            << "{\"quotes\":[\"1\",\"" + QString(u"ä"_s).repeated(200).toUtf8() + "\",\"3\",\"4\"]}"
            << cut;
        QTest::newRow("drawing not base64") << json("{'drawingPNG':'@@'}") << PenSnapshot();
    }
    void tolerantReading() {
        QFETCH(QByteArray, bytes);
        QFETCH(PenSnapshot, expected);
        QCOMPARE(PenSnapshot::fromJson(bytes), expected);
    }
};

Q_DECLARE_METATYPE(PenSnapshot)

QTEST_GUILESS_MAIN(TestPenSnapshot)
#include "tst_pensnapshot.moc"
