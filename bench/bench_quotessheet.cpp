#include "benchdevice.h"
#include "platform/widgets/clipboard.h"
#include "platform/widgets/filedialogs.h"
#include "platform/gui/urlopener.h"
#include "ui/common/ghostbutton.h"
#include "ui/common/nav.h"
#include "ui/quotes/quotelist.h"
#include "ui/quotes/quotessheet.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollArea>
#include <QScrollBar>
#include <ctime>

#include <benchmark/benchmark.h>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

// Painted for a 2× screen, the harder case; the offscreen screen takes its
// factor from the environment when the application starts.
[[maybe_unused]] const bool twoTimes = [] { return qputenv("QT_SCALE_FACTOR", "2"); }();

constexpr qsizetype fiveMiB = 5 * 1024 * 1024;

class OpenFile final : public FileDialogs {
public:
    std::optional<QString> askSaveLocation(const QString&, const QString&) override { return {}; }
    std::optional<QString> askOpenFile(const QStringList&) override { return path; }
    QString path;
};

class NoClipboard final : public Clipboard {
public:
    std::optional<QString> text() const override { return {}; }
    void setText(const QString&) override {}
    void setImage(const QImage&) override {}
};

class NoUrls final : public UrlOpener {
public:
    bool open(const QUrl&) override { return false; }
};

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

// The program's managers and a store over the largest document, with the
// services the sheet asks for.
struct Device : bench::Device {
    std::unique_ptr<PenStore> store;
    OpenFile files;
    NoClipboard clipboard;
    NoUrls urls;

    Device() {
        store = std::make_unique<PenStore>(environment());
        store->setQuotes(bench::maximalDocument().quotes);
    }

    QuotesSheetServices services() { return {files, clipboard, urls}; }
};

// The GUI thread's processor time so far, in nanoseconds.
qint64 threadTime() {
    timespec time{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
    return qint64(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

// While `busy` holds, the longest the GUI thread went without turning its
// event loop (wall time, which counts the time the thread waited for a
// processor too), and the most processor time one turn took, in milliseconds.
struct Stalls {
    double wallMs = 0;
    double cpuMs = 0;

    void measureWhile(const std::function<bool()>& busy) {
        QElapsedTimer clock;
        clock.start();
        qint64 last = clock.nsecsElapsed();
        while (busy()) {
            const qint64 cpu = threadTime();
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            const qint64 now = clock.nsecsElapsed();
            wallMs = std::max(wallMs, double(now - last) / 1e6);
            cpuMs = std::max(cpuMs, double(threadTime() - cpu) / 1e6);
            last = now;
        }
    }
};

// Lets the sheet build every card and lay them out and paint them.
void settle(QuotesSheet& sheet) {
    QElapsedTimer clock;
    clock.start();
    while (sheet.list()->isFilling() || clock.elapsed() < 100)
        QCoreApplication::processEvents();
}

// A 5 MiB plain-text file of 400 quotes over and over, which the reader must
// go through to the end, imported through the sheet over a full collection:
// from the press of import to the merged collection and its toast. The file
// is read and parsed on a worker. "allCardsMs" is the time until every new
// card is built too, "longestStallMs" the longest the GUI thread went without
// turning in all that time and "longestTurnCpuMs" the most processor time one
// of its turns took (on a busy machine the first is the second plus waiting).
void BM_ImportFile5MiB(benchmark::State& run) {
    Device device;
    const QString block = bench::plainTextImport(400, fiveMiB / 25);
    QString text = block;
    for (int i = 1; i < 25; ++i)
        text += u"\n----------------------------------------\n\n"_s + block;
    QByteArray bytes = text.toUtf8().left(fiveMiB);
    bytes.append(fiveMiB - bytes.size(), '\n');
    device.files.path = device.folder.filePath(u"import.txt"_s);
    QFile file(device.files.path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != fiveMiB) {
        run.SkipWithError("could not write the import file");
        return;
    }
    file.close();
    const QList<Quote> before = device.store->quotes();

    QuotesSheet sheet(*device.store, device.services());
    sheet.resize(720, 560);
    sheet.show();
    settle(sheet);

    Stalls stalls;
    double built = 0;
    for (auto _ : run) {
        QElapsedTimer clock;
        clock.start();
        sheet.importButton()->click();
        stalls.measureWhile([&] { return sheet.isImporting(); });
        run.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        stalls.measureWhile([&] { return sheet.list()->isFilling(); });
        built = std::max(built, double(clock.nsecsElapsed()) / 1e6);
        device.store->setQuotes(before);
        settle(sheet);
    }
    run.counters["longestStallMs"] = stalls.wallMs;
    run.counters["longestTurnCpuMs"] = stalls.cpuMs;
    run.counters["allCardsMs"] = built;
}
BENCHMARK(BM_ImportFile5MiB)->Unit(benchmark::kMillisecond)->UseManualTime();

// The quotes sheet in its frame over 500 quotes of 500 characters, from its
// construction to its first paint. Then a scroll through the whole list, 60
// points a frame, from the moment it first shows (while the later cards are
// still being built): "slowestFrameMs" is the longest frame, the scroll and
// one turn of the event loop (which paints, and builds cards) together.
void BM_QuotesSheetOpen500(benchmark::State& run) {
    Device device;
    double slowest = 0;
    for (auto _ : run) {
        auto* sheet = new QuotesSheet(*device.store, device.services());
        auto nav = std::make_unique<Nav>(u"Quotes"_s, true, sheet);
        nav->resize(720, 560);
        FirstPaint paint;
        sheet->installEventFilter(&paint);
        nav->show();
        while (!paint.painted)
            QCoreApplication::processEvents();

        run.PauseTiming();
        QScrollBar* bar = sheet->scrollArea()->verticalScrollBar();
        for (int step = 0; step < 2000 && (bar->value() < bar->maximum() || sheet->list()->isFilling());
             ++step) {
            QElapsedTimer frame;
            frame.start();
            bar->setValue(bar->value() + 60);
            // The scroll moves what is painted and asks for the strip it
            // uncovered; the turn paints it, and builds cards while some are
            // still to come.
            QCoreApplication::processEvents();
            slowest = std::max(slowest, double(frame.nsecsElapsed()) / 1e6);
        }
        nav.reset();
        run.ResumeTiming();
    }
    run.counters["slowestFrameMs"] = slowest;
}
BENCHMARK(BM_QuotesSheetOpen500)->Unit(benchmark::kMillisecond);

} // namespace
