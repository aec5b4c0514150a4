// Renders the canvas sheet to PNG files, to look at: in its sheet frame at
// 760 × 600, English and German, light and dark: the grid of pages, a page
// open, a page that cannot be shown, and no pages at all.
//   tessaro-pages-gallery <folder> [scale]
// The scale (1 or 2) is the screen's; built with the project, never installed.
#include "../common/gallerydevice.h"
#include "l10n/localization.h"
#include "platform/widgets/clipboard.h"
#include "platform/widgets/filedialogs.h"
#include "platform/widgets/sharemenu.h"
#include "render/pages/pagerender.h"
#include "ui/common/nav.h"
#include "ui/pages/canvassheet.h"
#include "ui/pages/pagefiles.h"
#include "ui/pages/pageview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>

#include <cmath>
#include <cstdio>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

// A page of handwriting-like loops in a few inks.
QByteArray loopsPage(int seed) {
    StrokePage page;
    const QColor inks[] = {QColor(0x2B, 0x21, 0x1C), QColor(0x3A, 0x5B, 0xA0), QColor(0xD9, 0x4F, 0x6E)};
    for (int line = 0; line < 14; ++line) {
        PageStroke stroke;
        stroke.tool = line % 5 == 4 ? u"highlighter"_s : u"fountain"_s;
        stroke.ink = line % 5 == 4 ? QColor(0xF5, 0xC1, 0x6C) : inks[(line + seed) % 3];
        stroke.width = line % 5 == 4 ? 22 : 5;
        const double y0 = 150 + line * 85;
        for (int i = 0; i <= 160; ++i) {
            const double t = i / 160.0;
            const double x = 90 + 820 * t + 22 * std::sin(t * (40 + seed * 3));
            const double y = y0 + 26 * std::cos(t * (40 + seed * 3)) * (line % 5 == 4 ? 0 : 1);
            stroke.points.push_back({float(x), float(y), float(0.35 + 0.65 * std::sin(M_PI * t))});
        }
        page.strokes.push_back(stroke);
    }
    return strokePageJson(page);
}

QByteArray svgPage() {
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 100 140\">"
           "<rect x=\"10\" y=\"20\" width=\"80\" height=\"60\" rx=\"12\" fill=\"#EAF3FA\" "
           "stroke=\"#3A5BA0\" stroke-width=\"2\"/>"
           "<circle cx=\"50\" cy=\"50\" r=\"18\" fill=\"#F4A0B9\"/>"
           "<path d=\"M15 110 Q 50 80 85 110\" stroke=\"#2B211C\" stroke-width=\"3\" fill=\"none\"/>"
           "</svg>";
}

class NoDialogs final : public FileDialogs {
public:
    std::optional<QString> askSaveLocation(const QString&, const QString&) override { return {}; }
};

bool save(QWidget& widget, const QString& path) {
    QApplication::processEvents();
    if (widget.grab().toImage().save(path))
        return true;
    std::fprintf(stderr, "could not write %s\n", qPrintable(path));
    return false;
}

void waitForPage(const PageView& view) {
    QElapsedTimer timer;
    timer.start();
    while (view.isLoading() && timer.elapsed() < 20000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

} // namespace

int main(int argc, char** argv) {
    const auto arguments =
        gallery::screenArguments(argc, argv, "tessaro-pages-gallery <folder> [scale]");
    if (!arguments)
        return 2;
    QApplication app(argc, argv);
    gallery::Device device;
    PenStore& store = *device.store;
    const QString drawings = store.drawingFiles().localDir();
    QList<Drawing> records;
    const QByteArray pages[] = {loopsPage(0), svgPage(), loopsPage(1), loopsPage(2), svgPage()};
    for (int i = 0; i < 5; ++i) {
        Drawing record;
        record.id = u"page-%1"_s.arg(i);
        record.updatedAt = record.createdAt = 760000000 - i * 86400 * 9;
        QFile file(drawings + u'/' + record.id + u".pkdrawing"_s);
        if (!file.open(QIODevice::WriteOnly) || file.write(pages[i]) != pages[i].size())
            return 1;
        // The last one has yet to get its thumbnail.
        if (i < 4)
            record.thumbnailPNG = makeThumbnail(*decodePage(pages[i]), record.pageSize);
        records.append(record);
    }
    Drawing missing;
    missing.id = u"still-downloading"_s;
    missing.updatedAt = missing.createdAt = 700000000;
    records.append(missing);
    store.setDrawings(normalizeDrawings(records));

    NoDialogs dialogs;
    QtClipboard clipboard;
    QtShareMenu share(clipboard);
    StorePageFiles files(store);
    auto* sheet = new CanvasSheet(store, CanvasServices{dialogs, share, files});
    Nav frame(L(u"canvas.title"_s), true, sheet);
    frame.setAttribute(Qt::WA_DontShowOnScreen);
    frame.resize(760, 600);
    frame.show();

    bool ok = true;
    const QString suffix = u"@%1x.png"_s.arg(QString::fromLatin1(arguments->scale));
    for (const QString& code : {u"en"_s, u"de"_s}) {
        device.language.setCode(code);
        frame.setTitle(L(u"canvas.title"_s));
        for (const QString& mode : {u"light"_s, u"dark"_s}) {
            device.appearance.setMode(mode);
            const QString name = arguments->folder + u'/' + code + u'-' + mode + u'-';
            sheet->showGrid();
            ok &= save(frame, name + u"pages-grid"_s + suffix);
            sheet->openPage(u"page-0"_s);
            waitForPage(*sheet->pageView());
            ok &= save(frame, name + u"pages-page"_s + suffix);
            sheet->openPage(u"still-downloading"_s);
            waitForPage(*sheet->pageView());
            ok &= save(frame, name + u"pages-placeholder"_s + suffix);
        }
    }
    device.language.setCode(u"en"_s);
    frame.setTitle(L(u"canvas.title"_s));
    const QList<Drawing> kept = store.drawings();
    store.setDrawings({});
    for (const QString& mode : {u"light"_s, u"dark"_s}) {
        device.appearance.setMode(mode);
        sheet->showGrid();
        ok &= save(frame, arguments->folder + u"/en-"_s + mode + u"-pages-empty"_s + suffix);
    }
    store.setDrawings(kept);
    return ok ? 0 : 1;
}
