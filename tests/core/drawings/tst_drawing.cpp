#include "drawings/drawing.h"

#include <QTest>

#include <limits>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

Drawing drawing(const QString& id, Date updatedAt) {
    Drawing d;
    d.id = id;
    d.createdAt = 1;
    d.updatedAt = updatedAt;
    return d;
}

} // namespace

class TestDrawing : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void sanitizedID() {
        QCOMPARE(sanitizedDrawing(drawing(u"ab/c d_e-9"_s, 0))->id, u"abcd_e-9"_s);
        QCOMPARE(sanitizedDrawing(drawing(u"é日本"_s, 0))->id, u"é日本"_s);
        QCOMPARE(sanitizedDrawing(drawing(u"/ .*"_s, 0)), std::nullopt);
        QCOMPARE(sanitizedDrawing(drawing(QString(u"x/"_s).repeated(50), 0))->id,
                 QString(u"x"_s).repeated(40));
        QCOMPARE(sanitizedDrawing(drawing(u"../../etc"_s, 0))->id, u"etc"_s);
    }

    void sanitizedFields() {
        Drawing d = drawing(u"a"_s, 0);
        d.penType = u"crayon"_s;
        d.ink = u"#123456"_s;
        d.pageSize = QSizeF(0, 500);
        d.thumbnailPNG = QByteArray(maxThumbnailBytes + 1, 'x');
        Drawing clean = *sanitizedDrawing(d);
        QCOMPARE(clean.penType, u"pencil"_s);
        QCOMPARE(clean.ink, u"#F4A0B9"_s);
        QCOMPARE(clean.pageSize, QSizeF(1000, 500));
        QCOMPARE(clean.thumbnailPNG, std::nullopt);

        d.pageSize = QSizeF(300, std::numeric_limits<double>::infinity());
        d.thumbnailPNG = QByteArray(maxThumbnailBytes, 'x');
        clean = *sanitizedDrawing(d);
        QCOMPARE(clean.pageSize, QSizeF(300, 1400));
        QVERIFY(clean.thumbnailPNG);
        d.pageSize = QSizeF(qQNaN(), 1);
        QCOMPARE(sanitizedDrawing(d)->pageSize, QSizeF(1000, 1400));
    }

    void normalizeMergesByID() {
        const QList<Drawing> drawings{drawing(u"a"_s, 5), drawing(u"b"_s, 7), drawing(u"a"_s, 9),
                                      drawing(u"c"_s, 7), drawing(u"a/"_s, 9)};
        const QList<Drawing> normal = normalizeDrawings(drawings);
        QCOMPARE(normal.size(), 3);
        QCOMPARE(normal[0].id, u"a"_s);
        QCOMPARE(normal[0].updatedAt, 9.0);
        QCOMPARE(normal[1].id, u"b"_s);
        QCOMPARE(normal[2].id, u"c"_s);
    }
};

QTEST_GUILESS_MAIN(TestDrawing)
#include "tst_drawing.moc"
