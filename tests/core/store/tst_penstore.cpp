#include "store/cloudsync.h"
#include "store/penstore.h"
#include "support/memorykeyvaluestore.h"
#include "support/memorypreferences.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

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
    std::optional<QString> cloudDrawings;
    std::unique_ptr<PenStore> store;

    PenStore& start() {
        PenStore::Environment environment;
        environment.dataFolder = folder.path();
        environment.keyValueStore = &cloud;
        environment.groupPreferences = &group;
        environment.clock = [this] { return time += 1; };
        environment.durability = Durability::unflushed;
        environment.pushDelayMs = 20;
        if (cloudDrawings)
            environment.cloudResolver = [this] { return cloudDrawings; };
        store = std::make_unique<PenStore>(environment);
        return *store;
    }

    QString statePath() const { return folder.filePath(u"state.json"_s); }
    bool saved() const {
        store->flush();
        return QFile::exists(statePath());
    }
    void forget() {
        store->flush();
        QFile::remove(statePath());
    }
    AppState onDisk() const {
        store->flush();
        QFile file(statePath());
        file.open(QIODevice::ReadOnly);
        return decodeState(file.readAll())->state;
    }
    void write(const QByteArray& bytes) {
        QFile file(statePath());
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
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
    void startUpDoesNotSave() {
        Device device;
        PenStore& store = device.start();
        QVERIFY(!device.saved());
        QCOMPARE(store.pen(), Pen());
        QVERIFY(!device.group.value(u"tessaro.widget.snapshot"_s).isNull());
        QCOMPARE(device.cloud.writes, 1);
    }

    void refusedOperationsChangeNothing_data() {
        QTest::addColumn<Operation>("prepare");
        QTest::addColumn<Operation>("operation");
        const Operation nothing = [](PenStore&) {};
        const Operation oneBeadFewer = [](PenStore& s) { s.removeLastBead(); };
        QTest::newRow("unknown bead")
            << oneBeadFewer << Operation([](PenStore& s) { QVERIFY(!s.addBead(u"unknown"_s)); });
        QTest::newRow("full pen") << nothing << Operation([](PenStore& s) {
            QVERIFY(!s.addBead(u"cherry"_s));
        });
        QTest::newRow("remove past the end")
            << nothing << Operation([](PenStore& s) { s.removeBead(6); });
        QTest::newRow("move past the end")
            << nothing << Operation([](PenStore& s) { QCOMPARE(s.moveBead(5, 1), std::nullopt); });
        QTest::newRow("move before the start")
            << nothing << Operation([](PenStore& s) { QCOMPARE(s.moveBead(0, -1), std::nullopt); });
        QTest::newRow("move from nowhere")
            << nothing << Operation([](PenStore& s) { QCOMPARE(s.moveBead(-1, 1), std::nullopt); });
        QTest::newRow("unknown type")
            << nothing << Operation([](PenStore& s) { s.setType(u"quill"_s); });
        QTest::newRow("same type")
            << nothing << Operation([](PenStore& s) { s.setType(s.pen().type); });
        QTest::newRow("not an ink")
            << nothing << Operation([](PenStore& s) { s.setInk(u"#123456"_s); });
        QTest::newRow("same ink, other case")
            << nothing << Operation([](PenStore& s) { s.setInk(s.pen().ink.toLower()); });
        QTest::newRow("unknown barrel")
            << nothing << Operation([](PenStore& s) { s.setBarrel(u"plaid"_s); });
        QTest::newRow("unknown charm")
            << nothing << Operation([](PenStore& s) { s.setCharm(u"dragon"_s); });
        QTest::newRow("save an empty pen")
            << Operation([](PenStore& s) { s.clearBeads(); })
            << Operation([](PenStore& s) { QVERIFY(!s.saveToCase()); });
        QTest::newRow("clear an empty pen") << Operation([](PenStore& s) { s.clearBeads(); })
                                            << Operation([](PenStore& s) { s.clearBeads(); });
        QTest::newRow("take from before the case")
            << nothing << Operation([](PenStore& s) { s.takeFromCase(-1); });
        QTest::newRow("delete past the case")
            << nothing << Operation([](PenStore& s) { s.deleteFromCase(1); });
        QTest::newRow("duplicate quote") << nothing << Operation([](PenStore& s) {
            QVERIFY(!s.addQuote(u" Hello "_s, u"Someone else"_s, u"https://x.org"_s));
        });
        QTest::newRow("empty quote")
            << nothing
            << Operation([](PenStore& s) { QVERIFY(!s.addQuote(u"  "_s, u"Me"_s, {})); });
        QTest::newRow("import nothing")
            << nothing << Operation([](PenStore& s) { QCOMPARE(s.importQuotes({}), 0); });
        QTest::newRow("import what is there")
            << nothing << Operation([](PenStore& s) { QCOMPARE(s.importQuotes(s.quotes()), 0); });
        QTest::newRow("delete an unknown quote")
            << nothing << Operation([](PenStore& s) { s.deleteQuote(u"unknown"_s); });
        QTest::newRow("same group")
            << nothing << Operation([](PenStore& s) { s.setActiveGroup(s.activeGroup()); });
        QTest::newRow("equal remote document")
            << nothing << Operation([](PenStore& s) { s.applyRemote(s.currentState()); });
    }

    void refusedOperationsChangeNothing() {
        QFETCH(Operation, prepare);
        QFETCH(Operation, operation);
        Device device;
        PenStore& store = device.start();
        fill(store);
        prepare(store);
        device.forget();
        const AppState before = store.currentState();
        QSignalSpy changes(&store, &PenStore::changed);
        operation(store);
        QCOMPARE(store.currentState(), before);
        QVERIFY(changes.isEmpty());
        QVERIFY(!device.saved());
    }

    void acceptedOperationsSaveOnceWithTouch_data() {
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<PenStore::Changes>("parts");
        const PenStore::Changes pen = PenStore::Change::pen;
        QTest::newRow("remove") << Operation([](PenStore& s) { s.removeBead(2); }) << pen;
        QTest::newRow("remove last") << Operation([](PenStore& s) { s.removeLastBead(); }) << pen;
        QTest::newRow("clear") << Operation([](PenStore& s) { s.clearBeads(); }) << pen;
        QTest::newRow("move in place") << Operation([](PenStore& s) {
            QCOMPARE(s.moveBead(3, 0), std::optional<qsizetype>(3));
        }) << pen;
        QTest::newRow("move by swapping") << Operation([](PenStore& s) {
            QCOMPARE(s.moveBead(4, -3), std::optional<qsizetype>(1));
            QCOMPARE(s.pen().beads, (QStringList{u"cherry"_s, u"peach"_s, u"sky"_s, u"lemon"_s,
                                                 u"mint"_s, u"coral"_s}));
        }) << pen;
        QTest::newRow("same barrel")
            << Operation([](PenStore& s) { s.setBarrel(s.pen().barrel); }) << pen;
        QTest::newRow("same charm")
            << Operation([](PenStore& s) { s.setCharm(s.pen().charm); }) << pen;
        QTest::newRow("type") << Operation([](PenStore& s) { s.setType(u"highlighter"_s); }) << pen;
        QTest::newRow("ink") << Operation([](PenStore& s) { s.setInk(u"#3A3A3C"_s); }) << pen;
        QTest::newRow("save to case") << Operation([](PenStore& s) { QVERIFY(s.saveToCase()); })
                                      << (PenStore::Change::saved | PenStore::Change::pen);
        QTest::newRow("take from case") << Operation([](PenStore& s) { s.takeFromCase(0); })
                                        << (PenStore::Change::saved | PenStore::Change::pen);
        QTest::newRow("delete from case") << Operation([](PenStore& s) { s.deleteFromCase(0); })
                                          << PenStore::Changes(PenStore::Change::saved);
        QTest::newRow("add quote")
            << Operation([](PenStore& s) { QVERIFY(s.addQuote(u"New"_s, {}, {})); })
            << PenStore::Changes(PenStore::Change::quotes);
        QTest::newRow("import") << Operation([](PenStore& s) {
            QCOMPARE(s.importQuotes({quote(u"a"_s, u"One"_s, 1), quote(u"b"_s, u"Two"_s, 2)}), 2);
        }) << PenStore::Changes(PenStore::Change::quotes);
        QTest::newRow("delete quote")
            << Operation([](PenStore& s) { s.deleteQuote(s.quotes().first().id); })
            << PenStore::Changes(PenStore::Change::quotes);
        QTest::newRow("group") << Operation([](PenStore& s) { s.setActiveGroup(u"pearl"_s); })
                               << PenStore::Changes(PenStore::Change::activeGroup);
    }

    void acceptedOperationsSaveOnceWithTouch() {
        QFETCH(Operation, operation);
        QFETCH(PenStore::Changes, parts);
        Device device;
        PenStore& store = device.start();
        fill(store);
        device.forget();
        const Date before = store.updatedAt();
        QSignalSpy changes(&store, &PenStore::changed);
        operation(store);
        QCOMPARE(changes.size(), 1);
        QCOMPARE(changes.first().first().value<PenStore::Changes>(), parts);
        QVERIFY(store.updatedAt() > before);
        QCOMPARE(device.onDisk(), store.currentState());
        QTRY_COMPARE(decodeState(device.cloud.lastWrite)->state, store.currentState());
    }

    void theCase() {
        Device device;
        PenStore& store = device.start();
        store.setBarrel(u"sky"_s);
        store.addBead(u"star"_s);
        QVERIFY(store.saveToCase());
        QCOMPARE(store.saved().size(), 1);
        QVERIFY(store.saved().first().savedAt);
        QVERIFY(store.pen().beads.isEmpty());
        QCOMPARE(store.pen().barrel, u"sky"_s);

        // Taken out while the pen is empty: the case shrinks.
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
        QVERIFY(device.onDisk().deleted.contains(deletedKey));
    }

    void remoteDocumentsAreAnnouncedOnceWhenComplete() {
        Device device;
        PenStore& store = device.start();
        store.addQuote(u"Local"_s, {}, {});
        const Date before = store.updatedAt();

        AppState remote = store.currentState();
        remote.quotes.append(quote(u"r"_s, u"Remote"_s, 5));
        remote.activeGroup = u"hangul"_s;
        remote.updatedAt = before + 100;
        QList<PenStore::Changes> seen;
        QList<Date> timesSeen;
        connect(&store, &PenStore::changed, this, [&](PenStore::Changes what) {
            seen.append(what);
            timesSeen.append(store.updatedAt());
        });
        store.applyRemote(remote);
        QCOMPARE(store.quotes().size(), 2);
        QCOMPARE(store.activeGroup(), u"hangul"_s);
        QCOMPARE(seen, QList{PenStore::Change::quotes | PenStore::Change::activeGroup});
        QCOMPARE(timesSeen, QList{before + 100});
        QCOMPARE(device.onDisk().updatedAt, before + 100);
    }

    // A view that answers a change with an edit of its own: the edit is the
    // newest thing on disk and in the cloud, with its own time.
    void editsMadeWhileAChangeIsAnnouncedAreKept() {
        Device device;
        PenStore& store = device.start();
        bool answered = false;
        connect(&store, &PenStore::changed, this, [&](PenStore::Changes what) {
            if (what.testFlag(PenStore::Change::quotes) && !answered) {
                answered = true;
                QVERIFY(store.addBead(u"cherry"_s));
            }
        });
        AppState remote = store.currentState();
        remote.quotes = {quote(u"r"_s, u"Remote"_s, 5)};
        remote.updatedAt = 600000000;
        store.applyRemote(remote);
        QVERIFY(answered);
        const AppState stored = device.onDisk();
        QCOMPARE(stored.pen.beads, QStringList{u"cherry"_s});
        QCOMPARE(stored.quotes.size(), 1);
        QVERIFY(stored.updatedAt > 700000000);
        QCOMPARE(stored, store.currentState());
        QTRY_COMPARE(decodeState(device.cloud.lastWrite)->state, store.currentState());
    }

    void flushPutsEveryChangeOnDisk() {
        Device device;
        PenStore& store = device.start();
        for (int i = 0; i < 200; ++i)
            store.addQuote(u"Quote "_s + QString::number(i), {}, {});
        QVERIFY(store.flush());
        QFile file(device.statePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(decodeState(file.readAll())->state, store.currentState());
    }

    void startWritesTheMergedDocumentToTheCloud() {
        Device device;
        AppState local;
        local.quotes = {quote(u"l"_s, u"Local"_s, 10)};
        local.updatedAt = 10;
        device.write(encodeState(local));
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
    }

    void truncationCountIsPublished() {
        Device device;
        PenStore& store = device.start();
        QSignalSpy changes(&store, &PenStore::changed);
        // 500 quotes of 500 four-byte characters cannot all fit in the blob.
        QList<Quote> many;
        for (int i = 0; i < 500; ++i)
            many.append(
                quote(QString::number(i), QString::number(i) + QString(u"😀"_s).repeated(490), i));
        QCOMPARE(store.importQuotes(many), 500);
        QTRY_VERIFY(store.cloudTruncatedCount() > 0);
        QVERIFY(device.cloud.lastWrite.size() <= cloudBudget);
        const qsizetype inBlob = decodeState(device.cloud.lastWrite)->state.quotes.size();
        QCOMPARE(store.cloudTruncatedCount(), 500 - inBlob);
        QVERIFY(changes.contains(QVariantList{
            QVariant::fromValue(PenStore::Changes(PenStore::Change::cloudTruncatedCount))}));
    }

    void hostileRemoteInputChangesNothingOutside() {
        QTemporaryDir root;
        const QString data = root.filePath(u"data"_s);
        const QString cloud = root.filePath(u"cloud"_s);
        QDir().mkpath(data);
        // Files a careless path join would reach.
        for (const QString& path :
             {root.filePath(u"x.pkdrawing"_s), root.filePath(u"data/x.pkdrawing"_s)}) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("not a page");
        }
        test::MemoryKeyValueStore kv;
        test::MemoryPreferences group;
        PenStore::Environment environment;
        environment.dataFolder = data;
        environment.keyValueStore = &kv;
        environment.groupPreferences = &group;
        environment.durability = Durability::unflushed;
        environment.cloudResolver = [&] { return std::optional(cloud); };
        PenStore store(environment);
        store.addQuote(u"Mine"_s, {}, {});
        const AppState before = store.currentState();

        kv.remoteWrite(CloudSync::blobKey, "garbage");
        kv.remoteWrite(CloudSync::blobKey, QByteArray(50 * 1024 * 1024, '['));
        QCOMPARE(store.currentState(), before);

        AppState remote;
        remote.deleted = {{u"../x"_s, store.updatedAt()}, {u"../../x"_s, store.updatedAt()}};
        Drawing hostile;
        hostile.id = u"../x"_s;
        hostile.updatedAt = 5;
        remote.drawings = {hostile};
        kv.remoteWrite(CloudSync::blobKey, encodeState(remote));
        store.reconcileDrawings();
        store.deleteDrawing(u"../x"_s);
        store.deleteDrawing(u"x"_s);
        QVERIFY(store.flush());
        QTRY_VERIFY(!store.hasPendingCloudPush());
        QVERIFY(QFile::exists(root.filePath(u"x.pkdrawing"_s)));
        QVERIFY(QFile::exists(root.filePath(u"data/x.pkdrawing"_s)));
        QCOMPARE(store.quotes().size(), 1);
    }

    void idleStoreRunsNoTimer() {
        Device device;
        PenStore& store = device.start();
        store.addBead(u"cherry"_s);
        const auto anyActive = [&] {
            const auto timers = store.findChildren<QTimer*>();
            return std::any_of(timers.begin(), timers.end(),
                               [](const QTimer* timer) { return timer->isActive(); });
        };
        QVERIFY(anyActive());
        QTRY_VERIFY(!anyActive());
    }

    void drawingsDeleteAndThumbnail() {
        Device device;
        QTemporaryDir cloud;
        device.cloudDrawings = cloud.path();
        QDir().mkpath(device.folder.filePath(u"Drawings"_s));
        QFile page(device.folder.filePath(u"Drawings/page-1.pkdrawing"_s));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.write("strokes");
        page.close();

        PenStore& store = device.start();
        QTRY_COMPARE(store.drawings().size(), 1);
        QCOMPARE(store.drawings().first().id, u"page-1"_s);
        QTRY_VERIFY(QFile::exists(cloud.filePath(u"page-1.pkdrawing"_s)));

        store.setDrawingThumbnail(u"page-1"_s, QByteArray(maxThumbnailBytes + 1, 'x'));
        QVERIFY(!store.drawings().first().thumbnailPNG);
        const Date touched = store.updatedAt();
        store.setDrawingThumbnail(u"page-1"_s, QByteArray("png"));
        QCOMPARE(store.drawings().first().thumbnailPNG, QByteArray("png"));
        QCOMPARE(store.updatedAt(), touched);

        store.deleteDrawing(u"page-1"_s);
        QVERIFY(store.drawings().isEmpty());
        QTRY_VERIFY(!QFile::exists(device.folder.filePath(u"Drawings/page-1.pkdrawing"_s)));
        QTRY_VERIFY(!QFile::exists(cloud.filePath(u"page-1.pkdrawing"_s)));
        QVERIFY(store.deleted().contains(u"page-1"_s));
    }
};

QTEST_GUILESS_MAIN(TestPenStore)
#include "tst_penstore.moc"
