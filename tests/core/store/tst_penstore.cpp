#include "store/cloudsync.h"
#include "store/penstore.h"
#include "support/files.h"
#include "support/memorykeyvaluestore.h"
#include "support/memorypreferences.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

using Operation = std::function<void(PenStore&)>;

// One device: its data folder, its cloud and a clock that moves on only when asked.
struct Device {
    QTemporaryDir folder;
    test::MemoryKeyValueStore cloud;
    test::MemoryPreferences group;
    Date time = 700000000;
    std::unique_ptr<PenStore> store;

    PenStore& start() {
        PenStore::Environment environment;
        environment.dataFolder = folder.path();
        environment.keyValueStore = &cloud;
        environment.groupPreferences = &group;
        environment.clock = [this] { return time += 1; };
        environment.durability = Durability::unflushed;
        environment.pushDelayMs = 20;
        store = std::make_unique<PenStore>(environment);
        return *store;
    }

    QString statePath() const { return folder.filePath(u"state.json"_s); }
    // What the state file holds once every change is written; none when absent.
    std::optional<AppState> onDisk() const {
        store->flush();
        const auto decoded = decodeState(test::readFile(statePath()));
        return decoded ? std::optional(decoded->state) : std::nullopt;
    }
};

Quote quote(const QString& id, const QString& text, Date at) {
    return {id, text, {}, {}, at};
}

// A pen with six beads, one saved pen in the case and one quote.
void fill(PenStore& store) {
    for (const QString& bead : {u"cherry"_s, u"mint"_s, u"sky"_s})
        store.addBead(bead);
    store.saveToCase();
    for (const QString& bead :
         {u"cherry"_s, u"mint"_s, u"sky"_s, u"lemon"_s, u"peach"_s, u"coral"_s})
        store.addBead(bead);
    store.addQuote(u"Hello"_s, u"Me"_s, u"https://x.org"_s);
}

} // namespace

Q_DECLARE_METATYPE(Operation)

class TestPenStore : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A refused row (no parts) may try several things; none may change, save
    // or announce anything. An accepted one saves and announces once, with
    // what changed, and moves the document's time.
    void operations_data() {
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<PenStore::Changes>("parts");
        QTest::addColumn<bool>("emptyPen");
        const auto row = [](const char* name, PenStore::Changes parts, Operation operation) {
            QTest::newRow(name) << operation << parts << false;
        };
        const PenStore::Changes pen = PenStore::Change::pen;
        const PenStore::Changes quotes = PenStore::Change::quotes;
        const PenStore::Changes saved = PenStore::Change::saved;
        const PenStore::Changes refused;
        row("refused: full pen", refused, [](PenStore& s) { QVERIFY(!s.addBead(u"cherry"_s)); });
        QTest::newRow("refused: empty pen") << Operation([](PenStore& s) {
            QVERIFY(!s.addBead(u"unknown"_s));
            QVERIFY(!s.saveToCase());
            s.clearBeads();
            s.removeLastBead();
        }) << refused << true;
        row("refused: indexes out of range", refused, [](PenStore& s) {
            s.removeBead(6);
            QCOMPARE(s.moveBead(5, 1), std::nullopt);
            QCOMPARE(s.moveBead(0, -1), std::nullopt);
            QCOMPARE(s.moveBead(-1, 1), std::nullopt);
            s.takeFromCase(-1);
            s.deleteFromCase(1);
        });
        row("refused: unknown or unchanged style", refused, [](PenStore& s) {
            s.setType(u"quill"_s);
            s.setType(s.pen().type);
            s.setInk(u"#123456"_s);
            s.setInk(s.pen().ink.toLower());
            s.setBarrel(u"plaid"_s);
            s.setCharm(u"dragon"_s);
            s.setActiveGroup(s.activeGroup());
        });
        row("refused: quotes already there or empty, equal document", refused, [](PenStore& s) {
            QVERIFY(!s.addQuote(u" Hello "_s, u"Someone else"_s, u"https://x.org"_s));
            QVERIFY(!s.addQuote(u"  "_s, u"Me"_s, {}));
            QCOMPARE(s.importQuotes({}), 0);
            QCOMPARE(s.importQuotes(s.quotes()), 0);
            s.deleteQuote(u"unknown"_s);
            s.applyRemote(s.currentState());
        });
        row("remove", pen, [](PenStore& s) { s.removeBead(2); });
        row("remove last", pen, [](PenStore& s) { s.removeLastBead(); });
        row("clear", pen, [](PenStore& s) { s.clearBeads(); });
        row("move in place", pen, [](PenStore& s) { QCOMPARE(s.moveBead(3, 0), 3); });
        row("move by swapping", pen, [](PenStore& s) {
            QCOMPARE(s.moveBead(4, -3), 1);
            QCOMPARE(s.pen().beads, (QStringList{u"cherry"_s, u"peach"_s, u"sky"_s, u"lemon"_s,
                                                 u"mint"_s, u"coral"_s}));
        });
        row("same barrel", pen, [](PenStore& s) { s.setBarrel(s.pen().barrel); });
        row("type", pen, [](PenStore& s) { s.setType(u"highlighter"_s); });
        row("ink", pen, [](PenStore& s) { s.setInk(u"#3A3A3C"_s); });
        row("save to case", saved | pen, [](PenStore& s) { QVERIFY(s.saveToCase()); });
        row("take from case", saved | pen, [](PenStore& s) { s.takeFromCase(0); });
        row("delete from case", saved, [](PenStore& s) { s.deleteFromCase(0); });
        row("add quote", quotes, [](PenStore& s) { QVERIFY(s.addQuote(u"New"_s, {}, {})); });
        row("import", quotes, [](PenStore& s) {
            QCOMPARE(s.importQuotes({quote(u"a"_s, u"One"_s, 1), quote(u"b"_s, u"Two"_s, 2)}), 2);
        });
        row("delete quote", quotes, [](PenStore& s) { s.deleteQuote(s.quotes().first().id); });
        row("group", PenStore::Change::activeGroup,
            [](PenStore& s) { s.setActiveGroup(u"pearl"_s); });
    }

    void operations() {
        QFETCH(Operation, operation);
        QFETCH(PenStore::Changes, parts);
        QFETCH(bool, emptyPen);
        Device device;
        PenStore& store = device.start();
        fill(store);
        if (emptyPen)
            store.clearBeads();
        store.flush();
        QFile::remove(device.statePath());
        const AppState before = store.currentState();
        QSignalSpy changes(&store, &PenStore::changed);
        operation(store);
        if (!parts) {
            QCOMPARE(store.currentState(), before);
            QVERIFY(changes.isEmpty());
            QCOMPARE(device.onDisk(), std::nullopt);
            return;
        }
        QCOMPARE(changes.size(), 1);
        QCOMPARE(changes.first().first().value<PenStore::Changes>(), parts);
        QVERIFY(store.updatedAt() > before.updatedAt);
        QCOMPARE(device.onDisk(), store.currentState());
        QTRY_COMPARE(decodeState(device.cloud.lastWrite)->state, store.currentState());
    }

    // Starting up saves nothing but the widget's snapshot and the first
    // cloud write. Then the case; then many saves in flight, which the flush
    // waits for. Last, a remote document is announced once, whole, and a view
    // answers with an edit of its own: the edit is the newest thing on disk
    // and in the cloud.
    void oneDeviceFromStartToARemoteDocument() {
        Device device;
        PenStore& store = device.start();
        QCOMPARE(device.onDisk(), std::nullopt);
        QCOMPARE(store.pen(), Pen());
        QVERIFY(!device.group.value(u"tessaro.widget.snapshot"_s).isNull());
        QCOMPARE(device.cloud.writes, 1);

        store.setBarrel(u"sky"_s);
        store.addBead(u"star"_s);
        QVERIFY(store.saveToCase());
        QVERIFY(store.saved().first().savedAt);
        QVERIFY(store.pen().beads.isEmpty());
        QCOMPARE(store.pen().barrel, u"sky"_s);

        // Taken out while the pen is empty: the case shrinks, and the pen
        // leaves a tombstone so that no other device brings it back.
        const QString key = store.saved().first().caseKey();
        store.takeFromCase(0);
        QVERIFY(store.saved().isEmpty());
        QCOMPARE(store.pen().beads, QStringList{u"star"_s});
        QVERIFY(!store.pen().savedAt);
        QVERIFY(store.deleted().contains(key));

        // Taken out while the pen has beads: one out, one in at the front.
        QVERIFY(store.saveToCase());
        store.addBead(u"bow"_s);
        store.takeFromCase(0);
        QCOMPARE(store.saved().size(), 1);
        QCOMPARE(store.saved().first().beads, QStringList{u"bow"_s});
        QCOMPARE(store.pen().beads, QStringList{u"star"_s});

        const QString deletedKey = store.saved().first().caseKey();
        store.deleteFromCase(0);
        QVERIFY(device.onDisk()->deleted.contains(deletedKey));

        for (int i = 0; i < 200; ++i)
            store.addQuote(u"Quote "_s + QString::number(i), {}, {});
        QCOMPARE(device.onDisk(), store.currentState());

        AppState remote = store.currentState();
        remote.quotes.append(quote(u"r"_s, u"Remote"_s, 5));
        remote.activeGroup = u"hangul"_s;
        remote.updatedAt = store.updatedAt() + 100;
        QList<std::pair<PenStore::Changes, AppState>> seen;
        connect(&store, &PenStore::changed, this, [&](PenStore::Changes what) {
            seen.append({what, store.currentState()});
            if (seen.size() == 1)
                QVERIFY(store.addBead(u"cherry"_s));
        });
        store.applyRemote(remote);
        QCOMPARE(seen.size(), 2);
        QCOMPARE(seen.first().first, PenStore::Change::quotes | PenStore::Change::activeGroup);
        QCOMPARE(seen.first().second.quotes.size(), 201);
        QCOMPARE(seen.first().second.activeGroup, u"hangul"_s);
        // The merge keeps the newer side's time.
        QCOMPARE(seen.first().second.updatedAt, remote.updatedAt);
        const AppState stored = *device.onDisk();
        QCOMPARE(stored.pen.beads, (QStringList{u"star"_s, u"cherry"_s}));
        QCOMPARE(stored, store.currentState());
        QTRY_COMPARE(decodeState(device.cloud.lastWrite)->state, store.currentState());
    }

    // Pages found in the data folder are listed; mirroring them is tested with
    // the files and the cloud folder, deleting them where devices converge.
    void startMergesTheCloudAndListsPages() {
        Device device;
        QVERIFY(test::writeFile(device.folder.filePath(u"Drawings/page-1.pkdrawing"_s), "strokes"));
        AppState local;
        local.quotes = {quote(u"l"_s, u"Local"_s, 10)};
        local.updatedAt = 10;
        QVERIFY(test::writeFile(device.statePath(), encodeState(local)));
        AppState remote;
        remote.quotes = {quote(u"r"_s, u"Remote"_s, 20)};
        remote.updatedAt = 20;
        device.cloud.remoteWrite(CloudSync::blobKey, encodeState(remote));

        PenStore& store = device.start();
        QCOMPARE(store.quotes().size(), 2);
        const AppState written = decodeState(device.cloud.lastWrite)->state;
        QCOMPARE(written.quotes.size(), 2);
        QCOMPARE(written.updatedAt, 20.0);
        // The push that the merge scheduled was dropped: one write only.
        QCOMPARE(device.cloud.writes, 1);
        QVERIFY(!store.hasPendingCloudPush());

        QTRY_COMPARE(store.drawings().size(), 1);
        QCOMPARE(store.drawings().first().id, u"page-1"_s);

        // A thumbnail is no edit: it does not move the document's time.
        store.setDrawingThumbnail(u"page-1"_s, QByteArray(maxThumbnailBytes + 1, 'x'));
        QVERIFY(!store.drawings().first().thumbnailPNG);
        const Date touched = store.updatedAt();
        store.setDrawingThumbnail(u"page-1"_s, QByteArray("png"));
        QCOMPARE(store.drawings().first().thumbnailPNG, QByteArray("png"));
        QCOMPARE(store.updatedAt(), touched);
    }
};

QTEST_GUILESS_MAIN(TestPenStore)
#include "tst_penstore.moc"
