// Renders the main window to PNG files, to look at: 1000 × 760 in English,
// German and Korean, light and dark, with six beads on the pen; and, in
// English, a drag in flight, a toast, the case open and the minimum width.
//   tessaro-window-gallery <folder> [scale]
// The scale (1 or 2) is the screen's; built with the project, never installed.
#include "../common/gallerydevice.h"
#include "../common/galleryservices.h"
#include "platform/widgets/clipboard.h"
#include "ui/pages/pagefiles.h"
#include "ui/window/sheets.h"
#include "ui/common/toasts.h"
#include "ui/editor/stageview.h"
#include "ui/window/mainwindow.h"

#include <QApplication>
#include <QPainter>

#include <cstdio>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

QImage grab(QWidget& window) {
    // A sheet lays out its cards over a few turns of the event loop.
    for (int turn = 0; turn < 5; ++turn)
        QApplication::processEvents();
    QImage image = window.grab().toImage();
    // A sheet is a window of its own: lay it over its parent, centred, on a
    // dimmed backdrop, as the desktop would show it.
    if (const QDialog* sheet = static_cast<MainWindow&>(window).content()->presentedSheet()) {
        QImage over = const_cast<QDialog*>(sheet)->grab().toImage();
        QPainter painter(&image);
        painter.fillRect(QRectF(QPointF(0, 0), image.deviceIndependentSize()),
                         QColor(0, 0, 0, 70));
        const QSizeF size = over.deviceIndependentSize();
        const QSizeF room = image.deviceIndependentSize();
        painter.drawImage(QPointF((room.width() - size.width()) / 2, 40), over);
    }
    return image;
}

bool save(QWidget& window, const QString& path) {
    if (grab(window).save(path))
        return true;
    std::fprintf(stderr, "could not write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char** argv) {
    const auto arguments =
        gallery::screenArguments(argc, argv, "tessaro-window-gallery <folder> [scale]");
    if (!arguments)
        return 2;
    QApplication app(argc, argv);
    const QString folder = arguments->folder;
    gallery::Device device;
    LanguageManager& language = device.language;
    AppearanceManager& appearance = device.appearance;
    PenStore& store = *device.store;
    for (const QString& bead : {u"cherry"_s, u"letter-T"_s, u"pearl-pink"_s})
        store.addBead(bead);
    store.saveToCase();
    for (const QString& bead : {u"heart"_s, u"mint"_s, u"sky"_s, u"letter-L"_s, u"bear"_s,
                                u"jelly-sky"_s})
        store.addBead(bead);
    store.setCharm(u"ribbon"_s);

    gallery::NoDialogs dialogs;
    QtClipboard clipboard;
    gallery::NoShare share;
    gallery::NoUrls urls;
    gallery::ShownCloud cloud;
    StorePageFiles pages(store);
    const SheetServices services{dialogs, clipboard, share, urls, cloud, pages};
    MainWindow window(store, nullptr,
                      [&](ContentView& content) { offerSheets(content, store, services); });
    window.setAttribute(Qt::WA_DontShowOnScreen);
    window.resize(1000, 760);
    window.show();

    bool ok = true;
    const QString suffix = u"@%1x.png"_s.arg(QString::fromLatin1(arguments->scale));
    for (const QString& code : {u"en"_s, u"de"_s, u"ko"_s}) {
        language.setCode(code);
        QApplication::processEvents();
        for (const QString& mode : {u"light"_s, u"dark"_s}) {
            appearance.setMode(mode);
            ok &= save(window, folder + u'/' + code + u'-' + mode + u"-window"_s + suffix);
        }
    }
    // Every sheet over the window, in English light and German dark; the
    // quotes sheet with a few quotes kept, as a user would see it.
    store.addQuote(u"Well begun is half done."_s, u"Aristotle"_s, std::nullopt);
    store.addQuote(u"Little by little, one travels far."_s, u"Spanish proverb"_s, std::nullopt);
    store.addQuote(u"Simplicity is prerequisite for reliability."_s, u"Edsger W. Dijkstra"_s,
                   std::nullopt);
    const QList<std::pair<ContentView::Sheet, QString>> sheets{
        {ContentView::Sheet::quotes, u"quotes"_s},
        {ContentView::Sheet::drawings, u"drawings"_s},
        {ContentView::Sheet::wallpaper, u"wallpaper"_s},
        {ContentView::Sheet::settings, u"settings"_s}};
    for (const auto& [code, mode] : {std::pair(u"en"_s, u"light"_s), std::pair(u"de"_s, u"dark"_s)}) {
        language.setCode(code);
        appearance.setMode(mode);
        QApplication::processEvents();
        for (const auto& [sheet, name] : sheets) {
            window.content()->openSheet(sheet);
            ok &= save(window, folder + u'/' + code + u'-' + mode + u"-sheet-"_s + name + suffix);
            window.content()->presentedSheet()->reject();
            QApplication::processEvents();
        }
    }

    language.setCode(u"en"_s);
    QApplication::processEvents();
    for (const QString& mode : {u"light"_s, u"dark"_s}) {
        appearance.setMode(mode);
        const QString name = folder + u"/en-"_s + mode + u'-';
        ContentView& content = *window.content();

        // A bead on its way from the tray to the pen: five on the pen, so
        // that a gap opens.
        store.removeLastBead();
        const QRectF stage = content.editor().stageFrame();
        content.editor().trayDragged(u"star"_s, TrayDragPhase::changed,
                                     stage.center() + QPointF(40, 0));
        ok &= save(window, name + u"drag"_s + suffix);
        content.editor().trayDragged(u"star"_s, TrayDragPhase::ended, QPointF(-100, -100));
        store.addBead(u"jelly-sky"_s);

        content.toasts().show(u"Saved to your case"_s);
        ok &= save(window, name + u"toast"_s + suffix);

        content.openSheet(ContentView::Sheet::penCase);
        ok &= save(window, name + u"case"_s + suffix);
        content.presentedSheet()->reject();
        QApplication::processEvents();

        window.resize(900, 700);
        ok &= save(window, name + u"minimum"_s + suffix);
        window.resize(1000, 760);
    }
    return ok ? 0 : 1;
}
