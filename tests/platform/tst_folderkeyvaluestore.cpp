#include "platform/atomicfile.h"
#include "platform/folderkeyvaluestore.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

// What a sync engine does when it brings in another device's version.
void writeAsSyncEngine(const QString& path, const QByteArray& bytes) {
    QVERIFY(writeFileAtomically(path, bytes, Durability::unflushed));
}

constexpr int settleMs = FolderKeyValueStore::coalesceMs * 4;

} // namespace

class TestFolderKeyValueStore : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fileNamesAreSafeForSyncEngines() {
        QCOMPARE(FolderKeyValueStore::fileNameForKey(u"ts.state.v1"_s), u"ts.state.v1"_s);
        QCOMPARE(FolderKeyValueStore::fileNameForKey(u".hidden"_s), u"%2Ehidden"_s);
        QCOMPARE(FolderKeyValueStore::fileNameForKey(u"../x y"_s), u"%2E.%2Fx%20y"_s);
        QCOMPARE(FolderKeyValueStore::fileNameForKey(QString()), u"%00"_s);
    }

    void ownWritesAreNotExternalChanges() {
        QTemporaryDir folder;
        FolderKeyValueStore store(folder.path());
        QSignalSpy spy(&store, &KeyValueStore::externalChange);
        store.setData(u"k"_s, QByteArray("one\0two", 7));
        QCOMPARE(store.data(u"k"_s), QByteArray("one\0two", 7));
        QTest::qWait(settleMs);
        store.synchronize();
        QCOMPARE(spy.size(), 0);
        QCOMPARE(store.data(u"other"_s), std::nullopt);
    }

    void anotherDevicesWriteIsSeen() {
        QTemporaryDir folder;
        FolderKeyValueStore store(folder.path());
        FolderKeyValueStore other(folder.path());
        QSignalSpy spy(&store, &KeyValueStore::externalChange);
        other.setData(u"k"_s, "from the other device");
        QVERIFY(spy.wait(2000));
        QCOMPARE(store.data(u"k"_s), QByteArray("from the other device"));

        // A burst of writes is reported once it settles.
        spy.clear();
        for (int i = 0; i < 5; ++i)
            writeAsSyncEngine(folder.filePath(u"k"_s), QByteArray::number(i));
        QVERIFY(spy.wait(2000));
        QTest::qWait(settleMs);
        QCOMPARE(spy.size(), 1);
    }

    void temporaryFilesAreIgnored() {
        QTemporaryDir folder;
        FolderKeyValueStore store(folder.path());
        QSignalSpy spy(&store, &KeyValueStore::externalChange);
        for (const QString& name : {u".syncthing.k.tmp"_s, u".k.~1a2b"_s, u"k.partial"_s}) {
            QFile file(folder.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("partial");
        }
        QTest::qWait(settleMs);
        store.synchronize();
        QCOMPARE(spy.size(), 0);
    }

    void changesInPlaceAreFoundByARescan() {
        QTemporaryDir folder;
        FolderKeyValueStore store(folder.path());
        store.setData(u"k"_s, "mine");
        QTest::qWait(settleMs);
        QSignalSpy spy(&store, &KeyValueStore::externalChange);
        QFile file(folder.filePath(u"k"_s));
        QVERIFY(file.open(QIODevice::ReadWrite));
        file.write("your");
        file.close();
        store.synchronize();
        QCOMPARE(spy.size(), 1);
    }

    void conflictCopies() {
        QTemporaryDir folder;
        FolderKeyValueStore store(folder.path());
        store.setData(u"ts.state.v1"_s, "kept");
        QSignalSpy spy(&store, &KeyValueStore::externalChange);
        const QString syncthing = u"ts.state.sync-conflict-20261206-101500-ABCDEFG.v1"_s;
        const QString nextcloud = u"ts.state (conflicted copy 2026-12-06 101500).v1"_s;
        writeAsSyncEngine(folder.filePath(syncthing), "copy one");
        writeAsSyncEngine(folder.filePath(nextcloud), "copy two");
        writeAsSyncEngine(folder.filePath(u"other.sync-conflict-20261206-101500-ABCDEFG"_s), "no");
        QVERIFY(spy.wait(2000));

        auto copies = store.conflictCopies(u"ts.state.v1"_s);
        QCOMPARE(copies.size(), 2);
        QStringList values;
        for (const auto& copy : copies)
            values.append(QString::fromUtf8(copy.value));
        values.sort();
        QCOMPARE(values, (QStringList{u"copy one"_s, u"copy two"_s}));

        store.removeConflictCopy(u"ts.state.v1"_s, syncthing);
        store.removeConflictCopy(u"ts.state.v1"_s, u"../ts.state.v1"_s);
        store.removeConflictCopy(u"ts.state.v1"_s,
                                 u"other.sync-conflict-20261206-101500-ABCDEFG"_s);
        QCOMPARE(store.conflictCopies(u"ts.state.v1"_s).size(), 1);
        QVERIFY(QFile::exists(folder.filePath(u"other.sync-conflict-20261206-101500-ABCDEFG"_s)));
        QCOMPARE(store.data(u"ts.state.v1"_s), QByteArray("kept"));
    }

    void linksAreNotFollowed() {
        QTemporaryDir folder;
        QTemporaryDir outside;
        QFile secret(outside.filePath(u"secret"_s));
        QVERIFY(secret.open(QIODevice::WriteOnly));
        secret.write("secret");
        secret.close();
        QVERIFY(QFile::link(secret.fileName(), folder.filePath(u"k"_s)));
        FolderKeyValueStore store(folder.path());
        QCOMPARE(store.data(u"k"_s), std::nullopt);
    }

    void aFolderThatComesBackIsWatchedAgain() {
        QTemporaryDir parent;
        const QString path = parent.filePath(u"KeyValue"_s);
        FolderKeyValueStore store(path);
        QVERIFY(QDir(path).removeRecursively());
        store.setData(u"k"_s, "again");
        QSignalSpy spy(&store, &KeyValueStore::externalChange);
        writeAsSyncEngine(path + u"/k"_s, "theirs");
        QVERIFY(spy.wait(2000));
    }
};

QTEST_GUILESS_MAIN(TestFolderKeyValueStore)
#include "tst_folderkeyvaluestore.moc"
