#include "model/base64.h"
#include "model/date.h"
#include "model/json.h"

#include <QRandomGenerator>
#include <QTest>

#include <cmath>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

// JSON written with single quotes, for readable tests.
QByteArray json(const char* text) {
    return QByteArray(text).replace('\'', '"');
}

QByteArray writeNumber(double number) {
    QByteArray out;
    JsonWriter writer(out);
    writer.beginArray();
    writer.value(number);
    writer.endArray();
    return out;
}

std::optional<double> readNumber(const QByteArray& json) {
    JsonDocument document;
    if (document.parse(json) != JsonStatus::ok || !document.root().IsArray())
        return std::nullopt;
    return jsonNumber(&document.root()[0]);
}

// Writes down what it is given, as "name=number" or "name=-".
class StreamLog final : public JsonStreamedObject {
public:
    StreamLog()
        : JsonStreamedObject("map") {}
    void member(std::string_view name, std::optional<double> number) override {
        log.append(QString::fromUtf8(name.data(), qsizetype(name.size())) + u'=' +
                   (number ? QString::number(*number) : u"-"_s));
    }
    QStringList log;
};

} // namespace

class TestJson : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void numbersComeBackExactly() {
        auto* random = QRandomGenerator::global();
        QList<double> numbers{0.1,    1.0 / 3, 788918400.123456789,     distantPast,       1e308,
                              5e-324, -0.0,    2.2250738585072014e-308, 9007199254740993.0};
        for (int i = 0; i < 2000; ++i) {
            quint64 bits = random->generate64();
            double number;
            std::memcpy(&number, &bits, sizeof number);
            if (std::isfinite(number))
                numbers.append(number);
        }
        for (double number : numbers) {
            const QByteArray json = writeNumber(number);
            const auto read = readNumber(json);
            QVERIFY2(read, json.constData());
            QVERIFY2(std::memcmp(&*read, &number, sizeof number) == 0, json.constData());
            QCOMPARE(writeNumber(*read), json);
        }
        QCOMPARE(writeNumber(0.1), "[0.1]");
        QCOMPARE(writeNumber(-0.0), "[-0]");
        QCOMPARE(writeNumber(distantPast), "[-63114076800]");
    }

    void numbersOutsideDoubles() {
        JsonDocument document;
        QCOMPARE(document.parse("[1e-400,-1e-999,12345678901234567890123]"), JsonStatus::ok);
        QVERIFY(document.root()[0].IsNull());
        QVERIFY(document.root()[1].IsNull());
        QCOMPARE(jsonNumber(&document.root()[2]), std::optional(12345678901234567890123.0));
        // The reader refuses numbers beyond the largest double outright.
        QCOMPARE(document.parse("[1e400]"), JsonStatus::invalid);
        // Non-finite numbers cannot be written; the writer keeps the output valid.
        QVERIFY(readNumber(writeNumber(qInf())));
        QVERIFY(readNumber(writeNumber(qQNaN())));
    }

    void rejectsWhatIsNotJson_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("status");
        QTest::newRow("empty") << QByteArray() << int(JsonStatus::invalid);
        QTest::newRow("trailing garbage") << QByteArray("{} x") << int(JsonStatus::invalid);
        QTest::newRow("NUL after the value") << QByteArray("{}\0{", 4) << int(JsonStatus::invalid);
        QTest::newRow("trailing comma") << QByteArray("[1,]") << int(JsonStatus::invalid);
        QTest::newRow("raw control character")
            << QByteArray("[\"a\x01\"]") << int(JsonStatus::invalid);
        QTest::newRow("deep nesting")
            << QByteArray(10000, '[') + QByteArray(10000, ']') << int(JsonStatus::tooDeep);
        QTest::newRow("unclosed deep nesting")
            << QByteArray(1 << 20, '[') << int(JsonStatus::tooDeep);
        QTest::newRow("just deep enough")
            << QByteArray(JsonDocument::maxDepth, '[') + QByteArray(JsonDocument::maxDepth, ']')
            << int(JsonStatus::ok);
        QTest::newRow("deep nesting in a streamed object")
            << json("{'map':{'a':") + QByteArray(200, '[') + QByteArray(200, ']') + "}}"
            << int(JsonStatus::tooDeep);
        QTest::newRow("scalar root") << QByteArray(" 12 ") << int(JsonStatus::ok);
    }

    void rejectsWhatIsNotJson() {
        QFETCH(QByteArray, input);
        QFETCH(int, status);
        JsonDocument document;
        StreamLog stream;
        QCOMPARE(int(document.parse(input, &stream)), status);
    }

    void streamedObject_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QStringList>("streamed");
        QTest::addColumn<QByteArray>("left"); // what the document keeps under "map"
        QTest::newRow("numbers and others")
            << json("{'a':1,'map':{'x':1.5,'y':'s','z':null,'w':[1],'v':{'u':2},'t':1e-400},"
                    "'b':[]}")
            << QStringList{u"x=1.5"_s, u"y=-"_s, u"z=-"_s, u"w=-"_s, u"v=-"_s, u"t=-"_s}
            << QByteArray("{}");
        QTest::newRow("only the first of that name") << json("{'map':{'a':1},'map':{'c':2},'b':[]}")
                                                     << QStringList{u"a=1"_s} << QByteArray("{}");
        QTest::newRow("not an object")
            << json("{'map':[1],'map':{'c':2},'b':[]}") << QStringList{} << QByteArray("[1]");
        QTest::newRow("not in the root")
            << json("{'o':{'map':{'a':1}},'b':[]}") << QStringList{} << QByteArray();
    }

    void streamedObject() {
        QFETCH(QByteArray, input);
        QFETCH(QStringList, streamed);
        QFETCH(QByteArray, left);
        JsonDocument document;
        StreamLog stream;
        QCOMPARE(document.parse(input, &stream), JsonStatus::ok);
        QCOMPARE(stream.log, streamed);
        const JsonValue* kept = jsonMember(document.root(), "map");
        QCOMPARE(kept ? QByteArray(kept->IsArray() ? "[1]" : "{}") : QByteArray(), left);
        if (kept && kept->IsObject())
            QCOMPARE(kept->MemberCount(), 0u);
        // What follows the streamed object is in the document again.
        QVERIFY(jsonMember(document.root(), "b")->IsArray());
    }

    // Damaged text reads as U+FFFD rather than making the document unreadable,
    // and the document says so.
    void repairedStrings_data() {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("repaired");
        QTest::newRow("invalid UTF-8") << QByteArray("[\"a\xff"
                                                     "b\"]")
                                       << u"a\uFFFDb"_s << true;
        QTest::newRow("cut sequence") << QByteArray("[\"\xc3\"]") << u"\uFFFD"_s << true;
        QTest::newRow("overlong form") << QByteArray("[\"\xc0\xaf\"]") << u"\uFFFD\uFFFD"_s << true;
        QTest::newRow("lone high surrogate") << json("['\\ud800x']") << u"\uFFFDx"_s << true;
        QTest::newRow("lone low surrogate") << json("['\\udc00']") << u"\uFFFD"_s << true;
        QTest::newRow("pair") << json("['\\ud83d\\ude00']") << u"😀"_s << false;
        QTest::newRow("escaped backslash") << json("['\\\\ud800']") << u"\\ud800"_s << false;
    }

    void repairedStrings() {
        QFETCH(QByteArray, input);
        QFETCH(QString, expected);
        QFETCH(bool, repaired);
        JsonDocument document;
        QCOMPARE(document.parse(input), JsonStatus::ok);
        QCOMPARE(jsonString(&document.root()[0]), std::optional(expected));
        QCOMPARE(document.repaired(), repaired);
    }

    void stringsRoundTrip() {
        const QString text = u"quote \" back\\slash\nnew\ttab \x01 é 😀 \u2028 </script>"_s;
        QByteArray out;
        JsonWriter writer(out);
        writer.beginObject();
        writer.mapKey(text);
        writer.value(text);
        writer.key("plain");
        writer.beginArray();
        writer.endArray();
        writer.endObject();
        JsonDocument document;
        QCOMPARE(document.parse(out), JsonStatus::ok);
        const auto& member = *document.root().MemberBegin();
        QCOMPARE(jsonString(&member.name), std::optional(text));
        QCOMPARE(jsonString(&member.value), std::optional(text));
        QVERIFY(!document.repaired());
        QVERIFY(jsonMember(document.root(), "plain")->IsArray());
        QVERIFY(!jsonMember(document.root(), "absent"));

        // Lone surrogates cannot be written as UTF-8: they become U+FFFD.
        out.clear();
        JsonWriter lone(out);
        lone.value(u"a"_s + QChar(0xD800) + u"b"_s + QChar(0xDC00));
        QCOMPARE(out, QByteArray("\"a\xEF\xBF\xBD"
                                 "b\xEF\xBF\xBD\""));
    }

    void base64MatchesQt() {
        auto* random = QRandomGenerator::global();
        for (int size = 0; size < 70; ++size) {
            QByteArray data(size, Qt::Uninitialized);
            for (char& byte : data)
                byte = char(random->bounded(256));
            QByteArray encoded;
            appendBase64(encoded, data);
            QCOMPARE(encoded, data.toBase64());
            QCOMPARE(decodeBase64(encoded), std::optional(data));
        }
    }

    void base64IsStrict_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("length not a multiple of four") << QByteArray("QUJD=");
        QTest::newRow("no padding") << QByteArray("QUI");
        QTest::newRow("line break") << QByteArray("QUJD\nQUJD");
        QTest::newRow("url alphabet") << QByteArray("QU-_");
        QTest::newRow("padding in the middle") << QByteArray("QQ==QUJD");
        QTest::newRow("three padding characters") << QByteArray("Q===");
    }

    void base64IsStrict() {
        QFETCH(QByteArray, text);
        QCOMPARE(decodeBase64(text), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestJson)
#include "tst_json.moc"
