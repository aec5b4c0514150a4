// The cloud folder chosen while the program runs: the store syncs with the
// new folder at once and nothing it held, or the folders held, is lost.
#include "platform/folderkeyvaluestore.h"
#include "store/cloudconnection.h"
#include "store/cloudsync.h"
#include "store/penstore.h"
#include "support/files.h"
#include "support/memorypreferences.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace tessaro;
using namespace Qt::StringLiterals;
using test::writeFile;

namespace {

QStringList quoteTexts(const QList<Quote>& quotes) {
    QStringList texts;
    for (const Quote& quote : quotes)
        texts.append(quote.text);
    texts.sort();
    return texts;
}

// The quotes of the document a cloud folder holds, as the file-sync engine
// would carry it.
QStringList quoteTextsIn(const QString& cloudFolder) {
    const auto decoded = decodeState(test::readFile(
        cloudFolder + u"/KeyValue/"_s + FolderKeyValueStore::fileNameForKey(CloudSync::blobKey)));
    return decoded ? quoteTexts(decoded->state.quotes) : QStringList();
}

} // namespace

class TestCloudConnection : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { qunsetenv("TESSARO_CLOUD"); }

    // Another device already syncs through the second folder, with a quote
    // and a page of its own; this one has a quote waiting to be pushed and a
    // page of its own when the user chooses that folder.
    void switchingFolderLosesNothing() {
        QTemporaryDir root;
        test::MemoryPreferences preferences;
        const QString data = root.filePath(u"data"_s);
        const QString first = root.filePath(u"first"_s);
        const QString second = root.filePath(u"second"_s);
        const QString otherPage = second + u"/Documents/Drawings/theirs.pkdrawing"_s;
        QVERIFY(writeFile(otherPage, "their strokes"));
        {
            FolderKeyValueStore other(second + u"/KeyValue"_s);
            AppState theirs;
            theirs.quotes = {Quote{u"q-theirs"_s, u"from the other device"_s, {}, {}, 10}};
            theirs.updatedAt = 10;
            QVERIFY(other.setData(CloudSync::blobKey, encodeState(theirs)));
            other.flush();
        }
        QVERIFY(writeFile(data + u"/Drawings/mine.pkdrawing"_s, "my strokes"));
        preferences.setValue(u"cloud.folder"_s, first);
        CloudConnection cloud(data, preferences);
        PenStore::Environment environment;
        environment.dataFolder = data;
        environment.keyValueStore = cloud.keyValueStore();
        environment.cloudResolver = cloud.drawingResolver();
        environment.durability = Durability::unflushed;
        environment.pushDelayMs = 20;
        PenStore store(environment);
        cloud.attach(store);
        QTRY_COMPARE(store.drawings().size(), 1);
        QVERIFY(store.addQuote(u"before the switch"_s, {}, std::nullopt));
        QVERIFY(store.hasPendingCloudPush());

        QSignalSpy status(&cloud, &CloudSettings::statusChanged);
        cloud.chooseFolder(second);
        QCOMPARE(preferences.value(u"cloud.folder"_s).toString(), second);
        QCOMPARE(cloud.status().place, second);
        QVERIFY(status.size() >= 1);
        // The devices left on the first folder got the change it was owed.
        QTRY_COMPARE(quoteTextsIn(first), QStringList{u"before the switch"_s});

        QVERIFY(store.addQuote(u"after the switch"_s, {}, std::nullopt));
        const QStringList all{u"after the switch"_s, u"before the switch"_s,
                              u"from the other device"_s};
        // The new folder is read in the background; what it held arrives then.
        QTRY_COMPARE(quoteTexts(store.quotes()), all);
        QTRY_COMPARE(quoteTextsIn(second), all);
        // Pages cross both ways with the new folder, and its watcher follows it.
        QTRY_VERIFY(QFile::exists(second + u"/Documents/Drawings/mine.pkdrawing"_s));
        QTRY_COMPARE(store.drawings().size(), 2);
        QVERIFY(writeFile(second + u"/Documents/Drawings/later.pkdrawing"_s, "new"));
        QTRY_COMPARE(store.drawings().size(), 3);
        // Nothing of the new folder's went to the old one after the switch.
        QVERIFY(!QFile::exists(first + u"/Documents/Drawings/theirs.pkdrawing"_s));
        QTRY_COMPARE(cloud.status().reachable, std::optional(true));
    }

    // TESSARO_CLOUD decides for this run; the user's choice is kept for
    // later runs. A Redis address is shown without its password.
    void environmentDecidesForThisRun() {
        QTemporaryDir root;
        test::MemoryPreferences preferences;
        const QString fixed = root.filePath(u"fixed"_s);
        const QString chosen = root.filePath(u"chosen"_s);
        qputenv("TESSARO_CLOUD", fixed.toLocal8Bit());
        CloudConnection folder(root.filePath(u"data"_s), preferences);
        folder.chooseFolder(chosen);
        QCOMPARE(preferences.value(u"cloud.folder"_s).toString(), chosen);
        QCOMPARE(folder.status().place, fixed);
        QVERIFY(folder.status().setByEnvironment);

        qputenv("TESSARO_CLOUD", "redis://:secret@127.0.0.1:1/2");
        CloudConnection redis(root.filePath(u"data"_s), preferences);
        qunsetenv("TESSARO_CLOUD");
        QCOMPARE(redis.status().kind, CloudStatus::Kind::redis);
        QCOMPARE(redis.status().place, u"redis://127.0.0.1:1/2"_s);
        QCOMPARE(redis.status().reachable, std::optional(false));
    }
};

QTEST_GUILESS_MAIN(TestCloudConnection)
#include "tst_cloudconnection.moc"
