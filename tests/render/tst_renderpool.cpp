#include "render/renderpool.h"

#include <QSemaphore>
#include <QTest>
#include <QThread>

#include <atomic>
#include <vector>

using namespace tessaro;

namespace {

// Keeps every render thread busy until released, at most ten seconds, so a
// call that waits for the pool shows as a failure rather than a hang.
class BusyPool {
public:
    BusyPool() {
        for (int i = 0; i < renderPool().maxThreadCount(); ++i)
            renderPool().start([this] {
                m_started.release();
                m_held += !m_release.tryAcquire(1, 10000);
            });
        m_ready = m_started.tryAcquire(renderPool().maxThreadCount(), 10000);
    }
    ~BusyPool() {
        m_release.release(renderPool().maxThreadCount());
        renderPool().waitForDone();
    }
    bool ready() const { return m_ready; }
    // Whether a thread gave up waiting before it was released.
    bool timedOut() const { return m_held > 0; }

private:
    QSemaphore m_started;
    QSemaphore m_release;
    std::atomic<int> m_held{0};
    bool m_ready = false;
};

} // namespace

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
        std::atomic<int> onGlobalPool{0};
        runPieces(std::size_t(count), [&](std::size_t i) {
            ++runs[i];
            onGlobalPool += QThreadPool::globalInstance()->contains(QThread::currentThread());
        });
        for (int i = 0; i < count; ++i)
            QCOMPARE(runs[std::size_t(i)].load(), 1);
        QCOMPARE(runs[std::size_t(count)].load(), 0);
        QCOMPARE(onGlobalPool.load(), 0);
    }

    // With every render thread taken the caller does all the work itself.
    void callerFinishesWhileThePoolIsBusy() {
        BusyPool busy;
        QVERIFY(busy.ready());
        std::atomic<int> elsewhere{0};
        const QThread* caller = QThread::currentThread();
        runPieces(12, [&](std::size_t) { elsewhere += QThread::currentThread() != caller; });
        QCOMPARE(elsewhere.load(), 0);
        QVERIFY(!busy.timedOut());
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
