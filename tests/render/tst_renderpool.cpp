#include "render/renderpool.h"

#include <QSemaphore>
#include <QTest>
#include <QThread>

#include <atomic>
#include <vector>

using namespace tessaro;

class TestRenderPool : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyPieceRunsOnce_data() {
        QTest::addColumn<int>("count");
        for (const int count : {0, 1, 2, 7, 500})
            QTest::addRow("%d", count) << count;
    }
    void everyPieceRunsOnce() {
        QFETCH(int, count);
        std::vector<std::atomic<int>> runs(std::size_t(count) + 1);
        std::atomic<int> elsewhere{0};
        const QThread* caller = QThread::currentThread();
        runPieces(std::size_t(count), [&](std::size_t i) {
            ++runs[i];
            const QThread* thread = QThread::currentThread();
            elsewhere += thread != caller && !renderPool().contains(thread);
        });
        for (int i = 0; i < count; ++i)
            QCOMPARE(runs[std::size_t(i)].load(), 1);
        QCOMPARE(runs[std::size_t(count)].load(), 0);
        QCOMPARE(elsewhere.load(), 0);
    }

    // With every render thread taken the caller does all the work itself
    // rather than wait (the threads are held ten seconds at most).
    void callerFinishesWhileThePoolIsBusy() {
        const int threads = renderPool().maxThreadCount();
        QSemaphore started;
        QSemaphore release;
        for (int i = 0; i < threads; ++i)
            renderPool().start([&] {
                started.release();
                release.tryAcquire(1, 10000);
            });
        QVERIFY(started.tryAcquire(threads, 10000));
        std::atomic<int> elsewhere{0};
        const QThread* caller = QThread::currentThread();
        runPieces(12, [&](std::size_t) { elsewhere += QThread::currentThread() != caller; });
        release.release(threads);
        renderPool().waitForDone();
        QCOMPARE(elsewhere.load(), 0);
    }

    // A piece may split its own work again, even on a pool thread.
    void piecesMayRunPieces() {
        std::atomic<int> inner{0};
        runPieces(4, [&](std::size_t) { runPieces(5, [&](std::size_t) { ++inner; }); });
        QCOMPARE(inner.load(), 20);
    }
};

QTEST_GUILESS_MAIN(TestRenderPool)
#include "tst_renderpool.moc"
