#include "drawings/drawingfiles.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

constexpr int pageCount = 1000;

bool writePage(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return false;
    file.close();
    const timespec times[2] = {{0, UTIME_OMIT}, {1'700'000'000, 0}};
    return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0;
}

// Both folders already in line: the common case each time the watcher fires.
void BM_DrawingSync1000Files(benchmark::State& run) {
    QTemporaryDir root;
    const QString local = root.filePath(u"local"_s);
    const QString cloud = root.filePath(u"cloud"_s);
    DrawingFiles files(local, cloud);
    const QByteArray bytes(2048, 'p');
    QSet<QString> known;
    for (int i = 0; i < pageCount; ++i) {
        const QString id = u"page-%1"_s.arg(i, 4, 10, QChar(u'0'));
        known.insert(id);
        if (!writePage(local + u'/' + id + u".pkdrawing"_s, bytes) ||
            !writePage(cloud + u'/' + id + u".pkdrawing"_s, bytes)) {
            run.SkipWithError("could not write the pages");
            return;
        }
    }
    for (auto _ : run) {
        benchmark::DoNotOptimize(files.sync());
        benchmark::DoNotOptimize(files.unrecordedIDs(known));
    }
}
BENCHMARK(BM_DrawingSync1000Files)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
