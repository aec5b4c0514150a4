// Renders the wallpaper and settings sheets to PNG files, to look at: each in
// its sheet frame at 720 × 640, in English and German, light and dark; the
// wallpaper with a dark background chosen and a status line, the settings
// with a cloud that left quotes out.
//   tessaro-wallpaper-settings-gallery <folder> [scale]
// The scale (1 or 2) is the screen's; built with the project, never installed.
#include "../common/gallerydevice.h"
#include "../common/galleryservices.h"
#include "l10n/localization.h"
#include "ui/common/nav.h"
#include "ui/wallpaper/wallpapersheet.h"
#include "ui/settings/settingssheet.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QLabel>
#include <QScrollArea>

#include <cstdio>

using namespace tessaro;
using namespace tessaro::gallery;
using namespace Qt::StringLiterals;

namespace {

bool save(QWidget& frame, const QString& path) {
    QApplication::processEvents();
    if (frame.grab().save(path))
        return true;
    std::fprintf(stderr, "could not write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char** argv) {
    // A widescreen panel, so that the preview shows a desktop's proportions
    // (the offscreen screen is square by default).
    QTemporaryDir screens;
    QFile config(screens.filePath(u"screens.json"_s));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && config.open(QIODevice::WriteOnly)) {
        config.write(R"({"screens": [{"name": "panel", "x": 0, "y": 0, "width": 1440,
            "height": 900, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
        config.close();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config.fileName()));
    }
    const auto arguments = gallery::screenArguments(
        argc, argv, "tessaro-wallpaper-settings-gallery <folder> [scale]");
    if (!arguments)
        return 2;
    QApplication app(argc, argv);
    gallery::Device device;
    PenStore& store = *device.store;
    for (const QString& bead : {u"heart"_s, u"mint"_s, u"sky"_s, u"letter-L"_s, u"bear"_s,
                                u"jelly-sky"_s})
        store.addBead(bead);
    store.setCharm(u"ribbon"_s);

    NoDialogs dialogs;
    NoShare share;
    NoUrls urls;
    ShownCloud cloud;

    bool ok = true;
    const QString suffix = u"@%1x.png"_s.arg(QString::fromLatin1(arguments->scale));
    for (const QString& code : {u"en"_s, u"de"_s}) {
        device.language.setCode(code);
        for (const QString& mode : {u"light"_s, u"dark"_s}) {
            device.appearance.setMode(mode);
            const QString name = arguments->folder + u'/' + code + u'-' + mode + u'-';

            auto* wallpaper = new WallpaperSheet(store.pen(), dialogs, share);
            Nav wallpaperFrame(L(u"wall.title"_s), true, wallpaper);
            wallpaperFrame.setAttribute(Qt::WA_DontShowOnScreen);
            wallpaperFrame.resize(720, 640);
            wallpaperFrame.show();
            ok &= save(wallpaperFrame, name + u"wallpaper"_s + suffix);
            wallpaper->chooseBackground(u"#4A3830"_s);
            wallpaper->save();
            while (wallpaper->isBusy())
                QApplication::processEvents(QEventLoop::WaitForMoreEvents);
            ok &= save(wallpaperFrame, name + u"wallpaper-dark-saved"_s + suffix);

            auto* settings = new SettingsSheet(store, cloud, dialogs, urls);
            Nav settingsFrame(L(u"ios.settings"_s), true, settings);
            settingsFrame.setAttribute(Qt::WA_DontShowOnScreen);
            settingsFrame.resize(720, 640);
            settingsFrame.show();
            ok &= save(settingsFrame, name + u"settings"_s + suffix);
            // The lower half, scrolled to.
            if (auto* scroll = settings->findChild<QScrollArea*>())
                scroll->ensureWidgetVisible(settings->versionLabel());
            ok &= save(settingsFrame, name + u"settings-end"_s + suffix);
        }
    }
    return ok ? 0 : 1;
}
