#include "benchdevice.h"
#include "ui/window/mainwindow.h"

#include <QCoreApplication>
#include <QFile>

#include <benchmark/benchmark.h>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

// The window is painted for a 2× screen, the harder case; the offscreen
// screen takes its factor from the environment when the application starts.
[[maybe_unused]] const bool twoTimes = [] { return qputenv("QT_SCALE_FACTOR", "2"); }();

// Notes the first paint of the widget it watches.
class FirstPaint final : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted = true;
        return QObject::eventFilter(watched, event);
    }
};

// The resident set of this process now, in bytes.
qint64 residentBytes() {
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong() * 1024;
    return -1;
}

// From constructing the store over the largest document (which loads and
// decodes it) to the first painted frame of the main window at 1000 × 760.
void BM_WindowFirstPaintMaximal(benchmark::State& run) {
    bench::Device device;
    if (!device.writeMaximalState()) {
        run.SkipWithError("could not write the document");
        return;
    }
    const PenStore::Environment environment = device.environment();

    qint64 resident = 0;
    for (auto _ : run) {
        auto store = std::make_unique<PenStore>(environment);
        auto window = std::make_unique<MainWindow>(*store, nullptr);
        window->resize(1000, 760);
        FirstPaint paint;
        window->content()->installEventFilter(&paint);
        window->show();
        while (!paint.painted)
            QCoreApplication::processEvents();
        run.PauseTiming();
        resident = residentBytes();
        window.reset();
        store.reset();
        run.ResumeTiming();
    }
    run.counters["rss_MiB"] = double(resident) / (1024 * 1024);
}
BENCHMARK(BM_WindowFirstPaintMaximal)->Unit(benchmark::kMillisecond);

} // namespace
