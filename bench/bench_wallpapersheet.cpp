#include "l10n/localization.h"
#include "platform/widgets/filedialogs.h"
#include "platform/widgets/sharemenu.h"
#include "ui/wallpaper/wallpapersheet.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

// A 5K panel: 2560 × 1440 points at twice the density. The offscreen screen
// reads its shape from a file named when the application starts.
[[maybe_unused]] const bool fiveK = [] {
    static QTemporaryDir folder;
    const QString path = folder.filePath(u"screens.json"_s);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(R"({"screens": [{"name": "5K", "x": 0, "y": 0, "width": 2560, "height": 1440,
        "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 2}]})");
    return qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(path));
}();

class SaveTo final : public FileDialogs {
public:
    explicit SaveTo(QString path)
        : m_path(std::move(path)) {}
    std::optional<QString> askSaveLocation(const QString&, const QString&) override {
        return m_path;
    }
    std::optional<QString> askFolder(const QString&) override { return std::nullopt; }

private:
    QString m_path;
};

class NoShare final : public ShareMenu {
public:
    void share(const QList<QImage>&, const ShareTexts&, QWidget*, const QPoint&) override {}
};

// A press on "Save Image" until the file is written: rendering, encoding and
// writing 5120 × 2880 pixels, away from the window's thread. The window's
// thread ticks a 1 ms timer meanwhile; the longest gap between two ticks is
// the longest the window could not answer.
void BM_WallpaperSheetSave5K(benchmark::State& run) {
    QTemporaryDir folder;
    SaveTo dialogs(folder.filePath(u"tessaro.png"_s));
    NoShare share;
    Pen pen;
    pen.beads = {u"cherry"_s, u"pearl"_s, u"star"_s, u"jelly-sky"_s, u"bunny"_s, u"letter-L"_s};
    pen.charm = u"bear"_s;
    WallpaperSheet sheet(pen, dialogs, share);
    sheet.setAttribute(Qt::WA_DontShowOnScreen);
    sheet.resize(720, 560);
    sheet.show();
    QApplication::processEvents();
    // A swatch's press repaints the preview on the window's thread.
    QElapsedTimer repaint;
    repaint.start();
    sheet.chooseBackground(u"#4A3830"_s);
    sheet.repaint();
    run.counters["preview_repaint_ms"] = double(repaint.nsecsElapsed()) / 1e6;
    if (sheet.exportPixelSize() != QSize(5120, 2880)) {
        run.SkipWithError("the screen is not 5K");
        return;
    }

    double longestGap = 0;
    QElapsedTimer sinceTick;
    QTimer ticks;
    ticks.setInterval(1);
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, double(sinceTick.nsecsElapsed()) / 1e6);
        sinceTick.restart();
    });
    for (auto _ : run) {
        sheet.save();
        sinceTick.start();
        ticks.start();
        while (sheet.isBusy())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        ticks.stop();
    }
    if (sheet.note() != L(u"ios.wall.saved"_s))
        run.SkipWithError("the picture was not saved");
    run.counters["longest_gap_ms"] = longestGap;
}
BENCHMARK(BM_WallpaperSheetSave5K)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
