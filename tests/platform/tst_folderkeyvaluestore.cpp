#include "platform/atomicfile.h"
#include "platform/folderkeyvaluestore.h"
#include "support/files.h"
#include "support/logcapture.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace tessaro;
using namespace Qt::StringLiterals;
using test::touchFile;

namespace {

// What a sync engine does when it brings in another device's version.
void writeAsSyncEngine(const QString& path, const QByteArray& bytes) {
    QVERIFY(writeFileAtomically(path, bytes, Durability::unflushed));
}

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

    // What is there at start and what arrives later are both announced, and
    // then answered from memory: a pull after a change reads no disk. Own
    // writes reach the disk unchanged and are not announced. Nobody's
    // temporaries count as values, and their own leftovers from killed
    // writes go once they are surely dead; a link (to a file outside, say)
    // is not followed.
    void anotherDevicesWritesAreSeen() {
        QTemporaryDir folder;
        QTemporaryDir outside;
        const QString stale = folder.filePath(u".k.tmp-AbC123"_s);
        const QString fresh = folder.filePath(u".k.tmp-XyZ789"_s);
        QVERIFY(touchFile(stale, 11 * 60) && touchFile(fresh));
        for (const QString& name : {u".syncthing.k.tmp"_s, u".k.~1a2b"_s, u"k.partial"_s})
            QVERIFY(touchFile(folder.filePath(name)));
        QVERIFY(touchFile(outside.filePath(u"secret"_s)));
        QVERIFY(QFile::link(outside.filePath(u"secret"_s), folder.filePath(u"link"_s)));
        writeAsSyncEngine(folder.filePath(u"k"_s), "there before");
        FolderKeyValueStore store(folder.path());
        QSignalSpy spy(&store, &KeyValueStore::externalChange);
        QTRY_COMPARE(spy.size(), 1);
        QVERIFY(!QFile::exists(stale));
        QVERIFY(QFile::exists(fresh));
        QCOMPARE(store.data(u"k"_s), QByteArray("there before"));
        QCOMPARE(store.data(u"k.partial"_s), std::nullopt);
        QCOMPARE(store.data(u"link"_s), std::nullopt);

        QVERIFY(store.setData(u"mine"_s, QByteArray("one\0two", 7)));
        QCOMPARE(store.data(u"mine"_s), QByteArray("one\0two", 7));
        store.flush();
        QCOMPARE(test::readFile(folder.filePath(u"mine"_s)), QByteArray("one\0two", 7));
        store.synchronize();
        store.flush();
        QCOMPARE(spy.size(), 1);

        FolderKeyValueStore other(folder.path());
        other.setData(u"k"_s, "from the other device");
        QTRY_COMPARE(spy.size(), 2);
        QVERIFY(QFile::remove(folder.filePath(u"k"_s)));
        QCOMPARE(store.data(u"k"_s), QByteArray("from the other device"));

        // The last of a burst is what stays.
        for (int i = 0; i < 5; ++i)
            writeAsSyncEngine(folder.filePath(u"k"_s), QByteArray::number(i));
        QTRY_COMPARE(store.data(u"k"_s), QByteArray("4"));

        // A change the kernel did not report is found by a rescan.
        store.flush();
        spy.clear();
        QVERIFY(test::writeFile(folder.filePath(u"k"_s), "5"));
        store.synchronize();
        store.flush();
        QCOMPARE(spy.size(), 1);
        QCOMPARE(store.data(u"k"_s), QByteArray("5"));
    }

    // A write made before the store had seen what another device put there
    // (at start, say) replaces it, but the caller still gets it to merge; so
    // do the copies sync engines make, and only those of the key.
    void conflictCopies() {
        QTemporaryDir folder;
        writeAsSyncEngine(folder.filePath(u"k"_s), "theirs");
        FolderKeyValueStore store(folder.path());
        QSignalSpy spy(&store, &KeyValueStore::externalChange);
        store.setData(u"k"_s, "mine");
        store.flush();
        QVERIFY(spy.size() >= 1);
        QCOMPARE(test::readFile(folder.filePath(u"k"_s)), "mine");
        QCOMPARE(store.data(u"k"_s), QByteArray("mine"));
        const auto copies = store.conflictCopies(u"k"_s);
        QCOMPARE(copies.size(), 1);
        QCOMPARE(copies.first().value, "theirs");
        store.removeConflictCopy(u"k"_s, copies.first().name);
        QVERIFY(store.conflictCopies(u"k"_s).isEmpty());

        // Once seen, a value is replaced without a copy.
        writeAsSyncEngine(folder.filePath(u"k"_s), "seen");
        QTRY_COMPARE(store.data(u"k"_s), QByteArray("seen"));
        store.setData(u"k"_s, "over it");
        store.flush();
        QVERIFY(store.conflictCopies(u"k"_s).isEmpty());

        store.setData(u"ts.state.v1"_s, "kept");
        spy.clear();
        const QString syncthing = u"ts.state.sync-conflict-20261206-101500-ABCDEFG.v1"_s;
        const QString nextcloud = u"ts.state (conflicted copy 2026-12-06 101500).v1"_s;
        const QString other = u"other.sync-conflict-20261206-101500-ABCDEFG"_s;
        writeAsSyncEngine(folder.filePath(syncthing), "copy one");
        writeAsSyncEngine(folder.filePath(nextcloud), "copy two");
        writeAsSyncEngine(folder.filePath(other), "no");
        store.synchronize();
        store.flush();
        // The folder watch may have reported the first copy on its own already.
        QVERIFY(!spy.isEmpty());

        QStringList values;
        for (const auto& copy : store.conflictCopies(u"ts.state.v1"_s))
            values.append(QString::fromUtf8(copy.value));
        values.sort();
        QCOMPARE(values, (QStringList{u"copy one"_s, u"copy two"_s}));

        store.removeConflictCopy(u"ts.state.v1"_s, syncthing);
        store.removeConflictCopy(u"ts.state.v1"_s, u"../ts.state.v1"_s);
        store.removeConflictCopy(u"ts.state.v1"_s, other);
        store.flush();
        QCOMPARE(store.conflictCopies(u"ts.state.v1"_s).size(), 1);
        QVERIFY(!QFile::exists(folder.filePath(syncthing)));
        QVERIFY(QFile::exists(folder.filePath(other)));
        QCOMPARE(store.data(u"ts.state.v1"_s), QByteArray("kept"));
    }

    // A sync engine re-creating the folder, or a user restoring it: an idle
    // device, making no change of its own, hears the others again.
    void folderPutBackIsHeardAgain_data() {
        QTest::addColumn<QString>("removed");
        QTest::newRow("the folder") << u"Cloud/KeyValue"_s;
        QTest::newRow("the folder above too") << u"Cloud"_s;
    }
    void folderPutBackIsHeardAgain() {
        QFETCH(QString, removed);
        QTemporaryDir root;
        const QString path = root.filePath(u"Cloud/KeyValue"_s);
        test::LogCapture log("tessaro.cloud");
        FolderKeyValueStore store(path);
        store.setRetryInterval(20, 200);
        store.flush();
        QSignalSpy spy(&store, &KeyValueStore::externalChange);
        QVERIFY(QDir(root.filePath(removed)).removeRecursively());
        QTRY_VERIFY(log.contains(u"is gone"_s));
        QVERIFY(QDir().mkpath(path));
        writeAsSyncEngine(path + u"/k"_s, "theirs");
        QTRY_COMPARE(store.data(u"k"_s), QByteArray("theirs"));
        QCOMPARE(spy.size(), 1);
        QVERIFY(log.contains(u"is back"_s));
        QTRY_VERIFY(!store.findChild<QTimer*>(u"retry"_s)->isActive());
    }

    // Tests run as root, so permissions cannot make a write fail: a file
    // where the folder should be does.
    void failedWriteIsKeptAndTriedAgain() {
        QTemporaryDir root;
        const QString path = root.filePath(u"KeyValue"_s);
        test::LogCapture log("tessaro.cloud");
        FolderKeyValueStore store(path);
        store.setRetryInterval(20);
        store.flush();
        QVERIFY(QDir(path).removeRecursively() && touchFile(path));
        QSignalSpy failures(&store, &KeyValueStore::writeFailed);
        QVERIFY(store.setData(u"k"_s, "mine"));
        QTRY_VERIFY(failures.size() >= 2);
        QCOMPARE(failures.first().first().toString(), u"k"_s);
        QVERIFY2(failures.first().last().toString().contains(u"Not a directory"_s),
                 qPrintable(failures.first().last().toString()));
        QCOMPARE(log.messages(QtWarningMsg).filter(u"could not be stored"_s).size(), 1);
        QVERIFY(log.contains(u"Not a directory"_s));
        QVERIFY(store.hasPendingWrites());
        QCOMPARE(store.data(u"k"_s), QByteArray("mine"));

        QVERIFY(QFile::remove(path));
        QTRY_COMPARE(test::readFile(path + u"/k"_s), "mine");
        QTRY_VERIFY(!store.hasPendingWrites());
        QVERIFY(log.contains(u"stored in "_s + path + u" again"_s));

        QVERIFY(!store.setData(u"big"_s, QByteArray(FolderKeyValueStore::maxValueBytes + 1, 'x')));
    }
};

QTEST_GUILESS_MAIN(TestFolderKeyValueStore)
#include "tst_folderkeyvaluestore.moc"
