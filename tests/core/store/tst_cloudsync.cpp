#include "store/cloudsync.h"
#include "support/memorykeyvaluestore.h"

#include <QRegularExpression>
#include <QTest>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

AppState withQuotes(int count, qsizetype length, Date newest) {
    AppState state;
    for (int i = 0; i < count; ++i)
        state.quotes.append({u"q%1"_s.arg(i), QString::number(i) + QString(length, u'x'),
                             u"source"_s, u"https://example.com/%1"_s.arg(i), newest - i});
    return state;
}

AppState marked(Date updatedAt) {
    AppState state;
    state.updatedAt = updatedAt;
    return state;
}

} // namespace

class TestCloudSync : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The blob and its conflict copies are merged at start, the readable
    // copies removed; later blobs arrive as written, unreadable ones not.
    // One written by a device that had not seen this one's push changes
    // nothing in the merge, yet the blob must get this device's items again.
    void remoteDocumentsReachTheStore() {
        test::MemoryKeyValueStore store;
        store.remoteWrite(CloudSync::blobKey, encodeState(marked(5)));
        store.addConflictCopy(CloudSync::blobKey, u"copy-a"_s, encodeState(marked(6)));
        store.addConflictCopy(CloudSync::blobKey, u"copy-b"_s, "damaged");
        CloudSync sync(&store);
        sync.setPushDelay(10);
        const AppState ours = withQuotes(3, 10, 50);
        QList<Date> received;
        sync.setOnRemote([&](const AppState& remote) { received.append(remote.updatedAt); });
        sync.start([&] { return ours; });
        QCOMPARE(received, (QList<Date>{5, 6}));
        const auto left = store.conflictCopies(CloudSync::blobKey);
        QCOMPARE(left.size(), 1);
        QCOMPARE(left.first().name, u"copy-b"_s);

        const int writes = store.writes;
        store.remoteWrite(CloudSync::blobKey, encodeState(withQuotes(1, 10, 50)));
        QCOMPARE(received.size(), 3);
        QTRY_COMPARE(store.writes, writes + 1);
        QCOMPARE(decodeState(store.lastWrite)->state.quotes.size(), 3);
        // A blob that holds everything, however it was ordered, starts no push.
        AppState same = ours;
        std::reverse(same.quotes.begin(), same.quotes.end());
        store.remoteWrite(CloudSync::blobKey, encodeState(same));
        QVERIFY(!sync.hasPendingPush());

        QTest::ignoreMessage(QtCriticalMsg,
                             "cloud blob could not be decoded (14 bytes) — ignoring it");
        store.remoteWrite(CloudSync::blobKey, "not a document");
        store.remoteWrite(CloudSync::blobKey, QByteArray(50 * 1024 * 1024, '{'));
        QCOMPARE(received.size(), 4);
    }

    // Over the budget, thumbnails go first. Close to the budget but within
    // it, a document is written unchanged. Over it, the newest quotes that
    // fit go without their links, and how many were left out is reported.
    void truncationAndRefusalAreReported() {
        AppState state = withQuotes(10, 100, 1000);
        for (int i = 0; i < 30; ++i) {
            Drawing drawing;
            drawing.id = u"page"_s + QString::number(i);
            drawing.thumbnailPNG = QByteArray(maxThumbnailBytes, 'p');
            state.drawings.append(drawing);
        }
        Pen saved;
        saved.savedAt = 5;
        state.saved = {saved};
        const BudgetedBlob blob = encodeWithinBudget(state);
        QVERIFY(blob.shrunk);
        QCOMPARE(blob.quotesLeftOut, 0);
        const AppState light = decodeState(blob.bytes)->state;
        QCOMPARE(light.drawings.size(), 30);
        QVERIFY(!light.drawings.first().thumbnailPNG);
        QVERIFY(light.quotes.first().url);
        QCOMPARE(light.saved.size(), 1);

        // When nothing else fits, the smallest document: without quotes.
        for (int i = 0; i < 40000; ++i)
            state.deleted.insert(u"tombstone-of-a-long-key-"_s + QString::number(i), 1);
        const BudgetedBlob smallest = encodeWithinBudget(state);
        QCOMPARE(smallest.quotesLeftOut, 10);
        QVERIFY(decodeState(smallest.bytes)->state.quotes.isEmpty());

        test::MemoryKeyValueStore store;
        CloudSync sync(&store);
        QList<int> reports;
        sync.setOnTruncated([&](int count) { reports.append(count); });
        const QByteArray within = encodeState(withQuotes(400, 1000, 1000));
        QVERIFY(within.size() > 400000 && within.size() <= cloudBudget);
        sync.push(withQuotes(400, 1000, 1000), true);
        QCOMPARE(store.lastWrite, within);

        const AppState many = withQuotes(10000, 500, 100000);
        sync.push(many, true);
        QVERIFY(store.lastWrite.size() <= cloudBudget);
        const AppState written = decodeState(store.lastWrite)->state;
        const qsizetype kept = written.quotes.size();
        QVERIFY(kept > 0);
        QCOMPARE(reports, (QList<int>{0, int(10000 - kept)}));
        QCOMPARE(written.quotes.first().id, u"q0"_s);
        QCOMPARE(written.quotes.last().id, u"q"_s + QString::number(kept - 1));
        QVERIFY(!written.quotes.first().url);
        // One more quote would not have fitted.
        AppState oneMore = written;
        oneMore.quotes.append(many.quotes[kept]);
        oneMore.quotes.last().url.reset();
        QVERIFY(encodeState(oneMore).size() > cloudBudget);

        store.refuseWrites = true;
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(u"refused by the store"_s));
        sync.push(withQuotes(5, 10, 10), true);
    }
};

QTEST_GUILESS_MAIN(TestCloudSync)
#include "tst_cloudsync.moc"
