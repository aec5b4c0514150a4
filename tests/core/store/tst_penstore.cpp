#include "drawings/drawingcloudwatcher.h"
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

// One device: its data folder, its cloud and a clock that moves on only when told.
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
    bool saved() const { return QFile::exists(statePath()); }
    void forget() { QFile::remove(statePath()); }
    AppState onDisk() const {
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

} // namespace

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

    void beads() {
        Device device;
        PenStore& store = device.start();
        QSignalSpy changes(&store, &PenStore::changed);
        QVERIFY(!store.addBead(u"unknown"_s));
        QVERIFY(!device.saved());
        for (const QString& bead : {u"cherry"_s, u"mint"_s, u"sky"_s, u"lemon"_s, u"peach"_s})
            QVERIFY(store.addBead(bead));
        QVERIFY(device.saved());
        QVERIFY(store.addBead(u"coral"_s));
        QCOMPARE(store.pen().beads.size(), 6);
        device.forget();
        QVERIFY(!store.addBead(u"cherry"_s));
        QVERIFY(!device.saved());
        QCOMPARE(changes.size(), 6);
        QCOMPARE(changes.first().first().value<PenStore::Change>(), PenStore::Change::pen);

        store.clearBeads();
        for (const QString& bead : {u"cherry"_s, u"mint"_s, u"sky"_s})
            store.addBead(bead);
        QCOMPARE(store.moveBead(2, -1), std::optional<qsizetype>(1));
        QCOMPARE(store.pen().beads, (QStringList{u"cherry"_s, u"sky"_s, u"mint"_s}));
        device.forget();
        QCOMPARE(store.moveBead(2, 1), std::nullopt);
        QCOMPARE(store.moveBead(-1, 1), std::nullopt);
        store.removeBead(3);
        QVERIFY(!device.saved());
        QCOMPARE(store.moveBead(0, 0), std::optional<qsizetype>(0));
        QVERIFY(device.saved());
        store.removeLastBead();
        store.removeBead(0);
        QCOMPARE(store.pen().beads, QStringList{u"sky"_s});
    }

    void style() {
        Device device;
        PenStore& store = device.start();
        store.setType(u"pencil"_s);
        store.setInk(u"#F4A0B9"_s);
        store.setBarrel(u"gold"_s);
        store.setCharm(u"cat"_s);
        store.setInk(u"#f4a0b9"_s);
        QVERIFY(!device.saved());
        store.setCharm(u"bunny"_s); // unchanged, still saves
        QVERIFY(device.saved());
        store.setType(u"highlighter"_s);
        store.setInk(u"#3A3A3C"_s); // a plain ink stays allowed on any type
        store.setBarrel(u"black"_s);
        QCOMPARE(device.onDisk().pen.type, u"highlighter"_s);
        QCOMPARE(device.onDisk().pen.ink, u"#3A3A3C"_s);
        QCOMPARE(device.onDisk().pen.barrel, u"black"_s);

        device.forget();
        store.setActiveGroup(u"glass"_s);
        QVERIFY(!device.saved());
        store.setActiveGroup(u"pearl"_s);
        QVERIFY(device.saved());
    }

    void theCase() {
        Device device;
        PenStore& store = device.start();
        QVERIFY(!store.saveToCase());
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
        device.forget();
        store.deleteFromCase(5);
        store.takeFromCase(-1);
        QVERIFY(!device.saved());
        store.deleteFromCase(0);
        QVERIFY(store.saved().isEmpty());
        QVERIFY(device.onDisk().deleted.contains(deletedKey));
    }

    void quotes() {
        Device device;
        PenStore& store = device.start();
        QVERIFY(store.addQuote(u"Hello"_s, u"Me"_s, u"https://x.org"_s));
        QVERIFY(!store.addQuote(u" Hello "_s, u"Someone else"_s, u"https://x.org"_s));
        QCOMPARE(store.quotes().size(), 1);

        device.forget();
        QCOMPARE(store.importQuotes({}), 0);
        Quote same = quote(u"z"_s, u"Hello"_s, 1);
        same.url = u"https://x.org"_s;
        QCOMPARE(store.importQuotes({same}), 0);
        store.deleteQuote(u"unknown"_s);
        QVERIFY(!device.saved());
        QVERIFY(store.deleted().isEmpty());

        QCOMPARE(store.importQuotes({quote(u"a"_s, u"One"_s, 1), quote(u"b"_s, u"Two"_s, 2)}), 2);
        store.deleteQuote(u"a"_s);
        QCOMPARE(store.quotes().size(), 2);
        QVERIFY(store.deleted().contains(u"a"_s));
        QCOMPARE(device.onDisk().quotes.size(), 2);
    }

    void remoteDocumentsMerge() {
        Device device;
        PenStore& store = device.start();
        store.addQuote(u"Local"_s, {}, {});
        const Date before = store.updatedAt();

        AppState remote = store.currentState();
        device.forget();
        store.applyRemote(remote);
        QVERIFY2(!device.saved(), "an equal document changes nothing");

        remote.quotes.append(quote(u"r"_s, u"Remote"_s, 5));
        remote.activeGroup = u"hangul"_s;
        remote.pen.beads = {u"heart"_s};
        remote.updatedAt = before + 100;
        QSignalSpy changes(&store, &PenStore::changed);
        store.applyRemote(remote);
        QCOMPARE(store.quotes().size(), 2);
        QCOMPARE(store.activeGroup(), u"hangul"_s);
        QCOMPARE(store.pen().beads, QStringList{u"heart"_s});
        QCOMPARE(store.updatedAt(), before + 100);
        QCOMPARE(device.onDisk().updatedAt, before + 100);
        QVERIFY(changes.size() >= 4);
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
        const int writes = device.cloud.writes;
        QTest::qWait(60);
        QCOMPARE(device.cloud.writes, writes);
    }

    void unreadableStateIsMovedAside() {
        Device device;
        device.write("{\"quotes\": [ this is not JSON");
        PenStore& store = device.start();
        QCOMPARE(store.quotes().size(), 0);
        const QStringList aside =
            QDir(device.folder.path()).entryList({u"state.json.unreadable-*"_s}, QDir::Files);
        QCOMPARE(aside.size(), 1);
        QFile kept(device.folder.filePath(aside.first()));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("{\"quotes\": [ this is not JSON"));
        store.addBead(u"cherry"_s);
        QCOMPARE(QDir(device.folder.path()).entryList({u"state.json*"_s}, QDir::Files).size(), 2);
    }

    void partlyReadableStateIsKept() {
        Device device;
        const QByteArray damaged = "{\"quotes\":[{\"id\":\"a\",\"text\":\"kept?\",\"source\":\"\","
                                   "\"at\":1},{\"id\":5}],\"activeGroup\":\"jelly\"}";
        device.write(damaged);
        PenStore& store = device.start();
        QVERIFY(store.quotes().isEmpty());
        QCOMPARE(store.activeGroup(), u"jelly"_s);
        const QStringList copies =
            QDir(device.folder.path()).entryList({u"state.json.damaged-*"_s}, QDir::Files);
        QCOMPARE(copies.size(), 1);
        QFile copy(device.folder.filePath(copies.first()));
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), damaged);

        // A clean file keeps no copy.
        Device clean;
        clean.write(encodeState(AppState()));
        clean.start();
        QCOMPARE(QDir(clean.folder.path()).entryList(QDir::Files).size(), 1);
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
        QVERIFY(changes.contains(
            QVariantList{QVariant::fromValue(PenStore::Change::cloudTruncatedCount)}));
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
        QTest::qWait(50);
        QVERIFY(QFile::exists(root.filePath(u"x.pkdrawing"_s)));
        QVERIFY(QFile::exists(root.filePath(u"data/x.pkdrawing"_s)));
        QCOMPARE(store.quotes().size(), 1);
    }

    void idleStoreRunsNoTimer() {
        Device device;
        PenStore& store = device.start();
        store.addBead(u"cherry"_s);
        QTRY_VERIFY(!store.cloud().hasPendingPush());
        QTest::qWait(DrawingCloudWatcher::debounceMs + 50);
        for (const QTimer* timer : store.findChildren<QTimer*>())
            QVERIFY2(!timer->isActive(), qPrintable(timer->objectName()));
    }

    void drawingsDeleteAndThumbnail() {
        Device device;
        QTemporaryDir cloud;
        PenStore::Environment environment;
        environment.dataFolder = device.folder.path();
        environment.keyValueStore = &device.cloud;
        environment.groupPreferences = &device.group;
        environment.durability = Durability::unflushed;
        environment.cloudResolver = [&] { return std::optional(cloud.path()); };
        QDir().mkpath(device.folder.filePath(u"Drawings"_s));
        QFile page(device.folder.filePath(u"Drawings/page-1.pkdrawing"_s));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.write("strokes");
        page.close();

        PenStore store(environment);
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
        QVERIFY(!QFile::exists(device.folder.filePath(u"Drawings/page-1.pkdrawing"_s)));
        QVERIFY(!QFile::exists(cloud.filePath(u"page-1.pkdrawing"_s)));
        QVERIFY(store.deleted().contains(u"page-1"_s));
    }
};

QTEST_GUILESS_MAIN(TestPenStore)
#include "tst_penstore.moc"
