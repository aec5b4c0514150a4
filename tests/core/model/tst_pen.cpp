#include "model/pen.h"

#include <QTest>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

// JSON written with single quotes, for readable tests.
QByteArray json(const char* text) {
    return QByteArray(text).replace('\'', '"');
}

std::optional<Pen> decodePen(const QByteArray& json) {
    JsonDocument document;
    if (document.parse(json) != JsonStatus::ok)
        return std::nullopt;
    return Pen::fromJson(document.root());
}

} // namespace

class TestPen : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The pen's keys are checked with the state document. A pen is read as
    // written (ink too, though it is matched exactly), then repaired.
    void sanitizedRepairsEveryField() {
        const Pen pen = *decodePen(
            json("{'beads':['cherry','unknown','mint','mint','sky','lemon','peach','coral'],"
                 "'barrel':'gold','charm':'cat','type':'quill','ink':'#f4a0b9','savedAt':12.5}"));
        QCOMPARE(pen.ink, u"#f4a0b9"_s);
        const Pen clean = pen.sanitized();
        QCOMPARE(clean.beads, (QStringList{u"cherry"_s, u"mint"_s, u"mint"_s, u"sky"_s, u"lemon"_s,
                                           u"peach"_s}));
        QCOMPARE(clean.barrel, u"white"_s);
        QCOMPARE(clean.charm, u"bunny"_s);
        QCOMPARE(clean.type, u"pencil"_s);
        QCOMPARE(clean.ink, u"#F4A0B9"_s);
        QCOMPARE(clean.savedAt, std::optional(12.5));
        QCOMPARE(clean.sanitized(), clean);

        Pen valid;
        valid.beads = {u"letter-L"_s, u"hangul-sa"_s};
        valid.barrel = u"black"_s;
        valid.charm = u"ribbon"_s;
        valid.type = u"highlighter"_s;
        valid.ink = u"#3A3A3C"_s; // a plain ink on a highlighter stays
        QCOMPARE(valid.sanitized(), valid);
    }

    void keys() {
        Pen pen;
        pen.beads = {u"cherry"_s, u"mint"_s};
        QCOMPARE(pen.caseKey(), u"-|cherry,mint|white|bunny|pencil|#F4A0B9"_s);
        QCOMPARE(pen.id(), u"-1.0-cherry,mint-white-bunny-pencil-#F4A0B9"_s);

        pen.savedAt = dateFromUnix(1700000000.4);
        QCOMPARE(pen.caseKey(), u"1700000000|cherry,mint|white|bunny|pencil|#F4A0B9"_s);
        pen.savedAt = dateFromUnix(1700000000.5);
        QVERIFY(pen.caseKey().startsWith(u"1700000001|"));
        QVERIFY(pen.id().startsWith(u"1700000000.5-"));
        pen.savedAt = dateFromUnix(-2.5);
        QVERIFY(pen.caseKey().startsWith(u"-3|"));

        // Dates only a damaged document holds still give keys.
        for (double extreme : {1e308, -1e308, 9.3e18, qInf(), qQNaN()}) {
            pen.savedAt = extreme;
            QVERIFY(!pen.caseKey().isEmpty());
            QVERIFY(!pen.id().isEmpty());
        }
    }
};

QTEST_GUILESS_MAIN(TestPen)
#include "tst_pen.moc"
