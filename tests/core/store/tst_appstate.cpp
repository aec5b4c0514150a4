#include "store/appstate.h"

#include <QTest>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

constexpr double day = 86400;
constexpr Date now = 800000000;

QByteArray json(const char* text) {
    return QByteArray(text).replace('\'', '"');
}

Quote quote(const QString& id, Date at, const QString& text = {}) {
    return {id, text.isEmpty() ? u"text of "_s + id : text, {}, {}, at};
}

Pen savedPen(const QString& bead, Date savedAt) {
    Pen pen;
    pen.beads = {bead};
    pen.savedAt = savedAt;
    return pen;
}

Drawing drawing(const QString& id, Date updatedAt, std::optional<QByteArray> thumbnail = {}) {
    Drawing d;
    d.id = id;
    d.createdAt = 1;
    d.updatedAt = updatedAt;
    d.thumbnailPNG = std::move(thumbnail);
    return d;
}

AppState richState() {
    AppState state;
    state.pen.beads = {u"cherry"_s, u"star"_s};
    state.pen.type = u"gel"_s;
    state.saved = {savedPen(u"mint"_s, 788918400.123456789), savedPen(u"sky"_s, -0.0)};
    state.activeGroup = u"hangul"_s;
    state.quotes = {
        {u"q1"_s, u"Quote \"one\"\nline 2"_s, u"Ünï"_s, u"https://a.example"_s, 1e9 / 3},
        quote(u"q2"_s, -5.5)};
    state.drawings = {drawing(u"d1"_s, 10.000000001, QByteArray("\x89PNG\0\1", 6)),
                      drawing(u"d2"_s, 3)};
    state.deleted = {{u"gone"_s, now - 1}, {u"1|a|b|c|d|e"_s, now}};
    state.updatedAt = now + 0.000123;
    return state;
}

// One record of each kind with every key set, as "name=value"; "!" marks the
// keys a list element cannot do without. The values of the state's nested
// records stand for those records.
const QList<std::pair<QByteArray, QByteArrayList>> records{
    {"pen",
     {"beads=['cherry']", "barrel='sky'", "charm='cat'", "type='gel'", "ink='#6FB3E0'",
      "savedAt=7"}},
    {"quote", {"!id='a'", "!text='t'", "!source='s'", "url='https://a.example'", "!at=3"}},
    {"drawing",
     {"!id='d'", "!createdAt=3", "!updatedAt=4", "!penType='gel'", "!ink='#F4A0B9'",
      "!pageSize=[10,20]", "thumbnailPNG='iVBORw0K'"}},
    {"state",
     {"pen={}", "saved=[]", "activeGroup='pearl'", "quotes=[]", "drawings=[]", "deleted={'k':3}",
      "updatedAt=6"}},
};

QByteArray nameOf(const QByteArray& member) {
    return member.sliced(member.startsWith('!'), member.indexOf('=') - member.startsWith('!'));
}

// A document with one record of each kind (the pen also as a saved pen), in
// which `key` of `record` is `value`, or left out when `value` is null.
QByteArray documentWith(const QByteArray& record, const QByteArray& key, const QByteArray& value) {
    const QMap<QByteArray, QByteArray> lists{
        {"saved", "pen"}, {"quotes", "quote"}, {"drawings", "drawing"}};
    QMap<QByteArray, QByteArray> written;
    for (const auto& [name, members] : records) {
        QByteArrayList pairs;
        for (const QByteArray& member : members) {
            const QByteArray field = nameOf(member);
            QByteArray json = member.sliced(member.indexOf('=') + 1);
            if (name == "state" && field == "pen")
                json = written["pen"];
            else if (name == "state" && lists.contains(field))
                json = "[" + written[lists[field]] + "]";
            if (name == record && field == key) {
                if (value.isNull())
                    continue;
                json = value;
            }
            pairs.append("'" + field + "':" + json);
        }
        written[name] = "{" + pairs.join(',') + "}";
    }
    return written["state"].replace('\'', '"');
}

} // namespace

class TestAppState : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void encodedDocumentsReadBackIdentically() {
        const AppState state = richState();
        const QByteArray bytes = encodeState(state);
        const auto decoded = decodeState(bytes);
        QVERIFY(decoded);
        QVERIFY(!decoded->dropped);
        QCOMPARE(decoded->state, state);
        QCOMPARE(encodeState(decoded->state), bytes);

        QCOMPARE(encodeState(AppState()),
                 json("{'pen':{'beads':[],'barrel':'white','charm':'bunny','type':'pencil','ink':'#"
                      "F4A0B9'},"
                      "'saved':[],'activeGroup':'glass','quotes':[],'drawings':[],'deleted':{},"
                      "'updatedAt':-63114076800}"));
    }

    // A key that is missing, null or of the wrong type takes its default, and
    // only a wrong one is reported. A list element without a required key, or
    // of the wrong type, empties its list.
    void keysTakeTheirDefaults_data() {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<bool>("required");
        QTest::addColumn<bool>("dropped");
        const QByteArrayList samples{"5", "'x'", "true", "[1]", "{'a':1}"};
        // The JSON type by the first character: number, string, bool, list, object.
        auto type = [](char first) { return first >= '0' && first <= '9' ? '0' : first; };
        for (const auto& [record, members] : records) {
            for (const QByteArray& member : members) {
                const QByteArray key = nameOf(member);
                const char good = type(member[member.indexOf('=') + 1]);
                QByteArrayList wrong;
                for (const QByteArray& sample : samples)
                    if (type(sample[0]) != good || (good == '[' && record == "state"))
                        wrong.append(sample);
                if (key == "beads")
                    wrong.append("['cherry',3]");
                if (key == "pageSize")
                    wrong += {"[1]", "[1,'x']"};
                if (key == "thumbnailPNG")
                    wrong.append("'not base64!'");
                if (key == "deleted")
                    wrong += {"{'k':'x'}", "{'k':3,'j':[4]}"};
                const bool required = member.startsWith('!');
                QTest::addRow("%s.%s = null", record.constData(), key.constData())
                    << record << key << QByteArray("null") << required << required;
                for (const QByteArray& value : wrong)
                    QTest::addRow("%s.%s = %s", record.constData(), key.constData(),
                                  value.constData())
                        << record << key << value << required << true;
            }
        }
    }

    void keysTakeTheirDefaults() {
        QFETCH(QByteArray, record);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, value);
        QFETCH(bool, required);
        QFETCH(bool, dropped);
        const auto complete = decodeState(documentWith({}, {}, {}));
        const auto missing = decodeState(documentWith(record, key, {}));
        const auto read = decodeState(documentWith(record, key, value));
        QVERIFY(complete && missing && read);
        QVERIFY(!complete->dropped);
        QCOMPARE(missing->dropped, required);
        QCOMPARE(read->dropped, dropped);
        QCOMPARE(read->state, missing->state);
        QVERIFY(read->state != complete->state);
        if (record != "state") {
            QCOMPARE(read->state.quotes.size(), record == "quote" && required ? 0 : 1);
            QCOMPARE(read->state.drawings.size(), record == "drawing" && required ? 0 : 1);
            QCOMPARE(read->state.saved.size(), 1);
        }
    }

    // Text repaired on reading would be lost at the next save: it counts as
    // dropped, so that the original is kept aside.
    void hostileInputs_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<bool>("dropped");
        QTest::newRow("not JSON") << QByteArray("state") << false << false;
        QTest::newRow("a list") << QByteArray("[]") << false << false;
        QTest::newRow("unknown keys") << json("{'extra':{'x':[1]}}") << true << false;
        QTest::newRow("larger than any document")
            << QByteArray(maxStateBytes + 1, ' ') << false << false;
        QTest::newRow("huge and negative-zero dates")
            << json("{'updatedAt':1e308,'saved':[{'savedAt':-1e308},{'savedAt':-0}],"
                    "'deleted':{'k':1e308}}")
            << true << false;
        QTest::newRow("invalid byte") << json("{'activeGroup':'\xffglass'}") << true << true;
        QTest::newRow("surrogate in UTF-8 in a key")
            << json("{'deleted':{'\xed\xa0\x80':1}}") << true << true;
        QTest::newRow("lone surrogate escape")
            << json("{'quotes':[{'id':'a','text':'\\udc00 x','source':'','at':1}]}") << true
            << true;
        QTest::newRow("valid text")
            << json("{'activeGroup':'\xc3\xa9\xf0\x9f\x98\x80 \\ud83d\\ude00'}") << true << false;
    }

    void hostileInputs() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, readable);
        QFETCH(bool, dropped);
        const auto decoded = decodeState(bytes);
        QCOMPARE(decoded.has_value(), readable);
        if (!decoded)
            return;
        QCOMPARE(decoded->dropped, dropped);
        const AppState clean = decoded->state.sanitized(now);
        QCOMPARE(clean.sanitized(now), clean);
        QVERIFY(decodeState(encodeState(clean)));
        QCOMPARE(mergeStates(clean, clean, now).saved.size(), clean.saved.size());
    }

    void sanitizedRepairs() {
        AppState state;
        state.saved = {savedPen(u"nope"_s, 1)};
        state.activeGroup = u"sparkle"_s;
        state.quotes = {quote(u"a"_s, 1, u"  "_s), quote(u"b"_s, 2)};
        state.drawings = {drawing(u"/"_s, 1)};
        state.deleted = {{u"old"_s, now - 91 * day},
                         {u"recent"_s, now - 89 * day},
                         {u"future"_s, now + day},
                         {u"edge"_s, now - tombstoneLifetime}};
        const AppState clean = state.sanitized(now);
        QVERIFY(clean.saved.first().beads.isEmpty());
        QCOMPARE(clean.activeGroup, u"glass"_s);
        QCOMPARE(clean.quotes.size(), 1);
        QVERIFY(clean.drawings.isEmpty());
        QCOMPARE(clean.deleted.keys(), (QStringList{u"edge"_s, u"future"_s, u"recent"_s}));
    }

    void deletionsWinOverOlderCopies() {
        AppState local;
        local.deleted = {{u"q"_s, now - 3600}};
        AppState remote;
        remote.quotes = {quote(u"q"_s, now - 7200)};
        QVERIFY(mergeStates(local, remote, now).quotes.isEmpty());
        // The same tombstone date as the item keeps it: only later deletions win.
        for (const Date at : {now - 1800, now - 3600}) {
            remote.quotes = {quote(u"q"_s, at)};
            QCOMPARE(mergeStates(local, remote, now).quotes.size(), 1);
        }

        // Saved pens by their case key, with absent dates as the distant past.
        const Pen pen = savedPen(u"mint"_s, now - 7200);
        Pen undated = savedPen(u"sky"_s, 0);
        undated.savedAt.reset();
        remote.saved = {pen, undated};
        local.deleted = {{pen.caseKey(), now - 3600}, {undated.caseKey(), now - 3600}};
        QVERIFY(mergeStates(local, remote, now).saved.isEmpty());

        remote.drawings = {drawing(u"d"_s, now - 7200)};
        local.deleted = {{u"d"_s, now - 3600}};
        QVERIFY(mergeStates(local, remote, now).drawings.isEmpty());
        local.deleted = {{u"d"_s, now - 91 * day}};
        QCOMPARE(mergeStates(local, remote, now).drawings.size(), 1);

        // Of two tombstones for one key the later stays; expired ones go.
        const Tombstones merged =
            mergeTombstones({{u"a"_s, now - 5}, {u"b"_s, now - 91 * day}},
                            {{u"a"_s, now - 1}, {u"c"_s, now - 89 * day}}, now);
        QCOMPARE(merged, (Tombstones{{u"a"_s, now - 1}, {u"c"_s, now - 89 * day}}));
    }

    // Saved pens merge by their case key, quotes and drawings by id; the
    // newer record wins, and an unknown bead is repaired away. The pen and
    // the group come from the newer side, the local one on a tie.
    void recordsMergeByKeyAndTheNewerWins() {
        AppState local;
        local.pen.barrel = u"pink"_s;
        local.activeGroup = u"pearl"_s;
        local.updatedAt = 36000;
        Pen localCopy = savedPen(u"mint"_s, 100.2);
        local.saved = {localCopy, savedPen(u"sky"_s, 50)};
        local.quotes = {quote(u"a"_s, 10, u"local a"_s), quote(u"b"_s, 20, u"local b"_s)};
        local.drawings = {drawing(u"x"_s, 5, QByteArray("thumb")), drawing(u"y"_s, 5)};
        AppState remote = local;
        remote.pen.barrel = u"sky"_s;
        remote.activeGroup = u"jelly"_s;
        Pen remoteCopy = savedPen(u"mint"_s, 99.8); // same whole second: the same saved pen
        remote.saved = {savedPen(u"lemon"_s, 300), remoteCopy, savedPen(u"unknown-bead"_s, 10)};
        remote.quotes = {quote(u"a"_s, 11, u"remote a"_s), quote(u"b"_s, 20, u"remote b"_s),
                         quote(u"c"_s, 5, u"local b"_s)};
        remote.drawings = {drawing(u"x"_s, 6), drawing(u"y"_s, 5, QByteArray("remote thumb")),
                           drawing(u"z"_s, 1)};
        const AppState merged = mergeStates(local, remote, now);
        QCOMPARE(merged.pen.barrel, u"pink"_s);
        QCOMPARE(merged.activeGroup, u"pearl"_s);

        QCOMPARE(merged.saved.size(), 4);
        QCOMPARE(merged.saved[0].beads, QStringList{u"lemon"_s});
        QCOMPARE(merged.saved[1], localCopy);
        QCOMPARE(merged.saved[2].beads, QStringList{u"sky"_s});
        QVERIFY(merged.saved[3].beads.isEmpty());

        QCOMPARE(merged.quotes.size(), 2);
        QCOMPARE(merged.quotes[0].text, u"local b"_s);
        QCOMPARE(merged.quotes[1].text, u"remote a"_s);

        QCOMPARE(merged.drawings.size(), 3);
        QCOMPARE(merged.drawings[0].id, u"x"_s);
        QCOMPARE(merged.drawings[0].updatedAt, 6.0);
        QCOMPARE(merged.drawings[0].thumbnailPNG, std::optional(QByteArray("thumb")));
        QCOMPARE(merged.drawings[1].id, u"y"_s);
        QCOMPARE(merged.drawings[1].thumbnailPNG, std::optional(QByteArray("remote thumb")));

        // Merging again changes nothing.
        QCOMPARE(mergeStates(merged, remote, now), merged);
        QCOMPARE(mergeStates(merged, merged, now), merged);

        remote.updatedAt = 36060;
        remote.activeGroup = u"nonsense"_s;
        const AppState newer = mergeStates(local, remote, now);
        QCOMPARE(newer.pen.barrel, u"sky"_s);
        QCOMPARE(newer.activeGroup, u"glass"_s);
        QCOMPARE(newer.updatedAt, 36060.0);
    }
};

QTEST_GUILESS_MAIN(TestAppState)
#include "tst_appstate.moc"
