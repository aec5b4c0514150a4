#include "renderpool.h"

#include <QCoreApplication>
#include <QSemaphore>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <memory>

namespace tessaro {

using namespace Qt::StringLiterals;

// Qt 6.4's raster engine splits a large fill into strips on
// QThreadPool::globalInstance() and waits for them, unless the painting thread
// is one of that pool's own. Painting here, or on the GUI thread, therefore
// still needs a free global thread for its larger fills: work that may block
// has to keep off the global pool as well, not only off this one. Each strip
// also costs a hand-over between threads, which on few cores is not won back;
// painting on the global pool used to avoid them. Later Qt versions give the
// engine a pool of its own.

namespace {

class RenderPool : public QThreadPool {
public:
    RenderPool() {
        setObjectName(u"tessaro-render"_s);
        // The calling thread paints as well: one thread fewer than the cores
        // keeps them all busy.
        setMaxThreadCount(std::max(1, QThread::idealThreadCount() - 1));
        // Painting threads keep fonts of their own; they end with the
        // application, as the global pool's do, while the fonts can still
        // be let go.
        qAddPostRoutine(&endThreads);
    }

private:
    static void endThreads() { renderPool().waitForDone(); }
};

} // namespace

QThreadPool& renderPool() {
#if QT_VERSION < QT_VERSION_CHECK(6, 5, 0)
    // On the global pool's own threads the engine paints fills whole, which is
    // faster; and since a blocked global pool stalls every painting thread
    // anyway, nothing in the program may block it (the cloud folder is looked
    // up on a thread of its own).
    return *QThreadPool::globalInstance();
#else
    static RenderPool pool;
    return pool;
#endif
}

void runPieces(std::size_t count, const std::function<void(std::size_t)>& piece) {
    if (count == 0)
        return;
    struct Shared {
        const std::function<void(std::size_t)>* piece;
        std::size_t count;
        std::atomic<std::size_t> next{0};
        std::atomic<std::size_t> done{0};
        QSemaphore finished;
    };
    // Helpers that start after the last piece was taken touch nothing but
    // these counters, which they keep alive.
    const auto shared = std::make_shared<Shared>();
    shared->piece = &piece;
    shared->count = count;
    const auto work = [shared] {
        for (std::size_t i; (i = shared->next.fetch_add(1)) < shared->count;) {
            (*shared->piece)(i);
            if (shared->done.fetch_add(1) + 1 == shared->count)
                shared->finished.release();
        }
    };

    QThreadPool& pool = renderPool();
    const int helpers = int(std::min<std::size_t>(count - 1, std::size_t(pool.maxThreadCount())));
    // Only threads that are free now: a busy pool leaves the work to us, and
    // nothing is queued behind a piece that runs pieces.
    for (int i = 0; i < helpers && pool.tryStart(work); ++i) {
    }
    work();
    shared->finished.acquire();
}

void paintWhole(const std::function<void()>& paint) {
#if QT_VERSION < QT_VERSION_CHECK(6, 5, 0)
    QSemaphore done;
    if (QThreadPool::globalInstance()->tryStart([&] {
            paint();
            done.release();
        })) {
        done.acquire();
        return;
    }
#endif
    paint();
}

} // namespace tessaro
