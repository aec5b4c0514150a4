// Renders the bead tray, the style rows and the case to PNG files, to look
// at, in English and German, light and dark:
//   tessaro-tray-gallery <folder> [scale]
// The scale (1 or 2) is the screen's; built with the project, never installed.
#include "../common/gallerydevice.h"
#include "render/paintcolour.h"
#include "ui/case/caserow.h"
#include "ui/case/casesheet.h"
#include "ui/editor/beadtray.h"
#include "ui/editor/stylerows.h"

#include <QApplication>
#include <QLayout>
#include <QPixmap>
#include <QTemporaryDir>

#include <cstdio>

using namespace tessaro;
using namespace Qt::StringLiterals;

namespace {

bool save(QWidget& widget, QSize size, const QString& path) {
    widget.resize(size);
    QApplication::processEvents();
    if (widget.grab().save(path))
        return true;
    std::fprintf(stderr, "could not write %s\n", qPrintable(path));
    return false;
}

QSize heightFor(QWidget& widget, int width) {
    QApplication::processEvents();
    if (widget.layout())
        widget.layout()->activate();
    return {width,
            widget.hasHeightForWidth() ? widget.heightForWidth(width) : widget.sizeHint().height()};
}

} // namespace

int main(int argc, char** argv) {
    const auto arguments =
        gallery::screenArguments(argc, argv, "tessaro-tray-gallery <folder> [scale]");
    if (!arguments)
        return 2;
    QApplication app(argc, argv);
    const QString folder = arguments->folder;
    const QByteArray scale = arguments->scale;
    gallery::Device device;
    LanguageManager& language = device.language;
    AppearanceManager& appearance = device.appearance;
    PenStore& store = *device.store;
    const QList<QStringList> designs{{u"cherry"_s, u"mint"_s, u"sky"_s},
                                     {u"heart"_s, u"pearl-pink"_s, u"letter-L"_s, u"bear"_s},
                                     {u"jelly-sky"_s, u"rhine-gold"_s}};
    for (const QStringList& beads : designs) {
        for (const QString& bead : beads)
            store.addBead(bead);
        store.setBarrel(beads.size() == 4 ? u"black"_s : u"pink"_s);
        store.saveToCase();
    }
    store.setActiveGroup(u"shape"_s);
    store.setType(u"highlighter"_s);
    store.setInk(u"#A7F3D0"_s);
    store.setCharm(u"ribbon"_s);

    BeadBoxView tray(store);
    StyleRows rows(store);
    CaseSheet sheet(store);
    QTemporaryDir emptyData;
    const std::unique_ptr<PenStore> emptyStore = device.makeStore(emptyData.path());
    CaseSheet emptySheet(*emptyStore);
    for (QWidget* widget : {static_cast<QWidget*>(&tray), static_cast<QWidget*>(&rows),
                            static_cast<QWidget*>(&sheet), static_cast<QWidget*>(&emptySheet)}) {
        widget->setAttribute(Qt::WA_DontShowOnScreen);
        widget->show();
    }

    // The middle pen waits for the second press of its delete button.
    sheet.rows().value(1)->deleteButton()->click();

    bool ok = true;
    const QString suffix = u"@%1x.png"_s.arg(QString::fromLatin1(scale));
    for (const QString& code : {u"en"_s, u"de"_s}) {
        language.setCode(code);
        for (const QString& mode : {u"light"_s, u"dark"_s}) {
            appearance.setMode(mode);
            const QString name = folder + u'/' + code + u'-' + mode + u'-';
            // The rows sit on the editor's background.
            QPalette host = rows.palette();
            host.setColor(QPalette::Window,
                          toColor(appearance.colour(interfacePalette().background)));
            rows.setPalette(host);
            rows.setAutoFillBackground(true);
            tray.setDimmed(false);
            ok &= save(tray, heightFor(tray, 380), name + u"tray"_s + suffix);
            ok &= save(tray, heightFor(tray, 250), name + u"tray-narrow"_s + suffix);
            tray.setDimmed(true);
            ok &= save(tray, heightFor(tray, 380), name + u"tray-dimmed"_s + suffix);
            ok &= save(rows, heightFor(rows, 380), name + u"style"_s + suffix);
            ok &= save(sheet, QSize(420, 330), name + u"case"_s + suffix);
            ok &= save(emptySheet, QSize(420, 300), name + u"case-empty"_s + suffix);
        }
    }
    store.setType(u"pencil"_s);
    ok &= save(rows, heightFor(rows, 380), folder + u"/en-pencil-style"_s + suffix);
    return ok ? 0 : 1;
}
