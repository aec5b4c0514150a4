#include "sheets.h"

#include "contentview.h"
#include "ui/pages/canvassheet.h"
#include "ui/quotes/quotessheet.h"
#include "ui/pages/pagefiles.h"
#include "ui/settings/settingssheet.h"
#include "ui/wallpaper/wallpapersheet.h"

namespace tessaro {

using namespace Qt::StringLiterals;

void offerSheets(ContentView& content, PenStore& store, const SheetServices& services) {
    // Each sheet closes with its frame's close button alone.
    content.setSheet(ContentView::Sheet::quotes, u"quotes.title"_s,
                     [&store, services](std::function<void()>) -> QWidget* {
                         return new QuotesSheet(
                             store, QuotesSheetServices{services.dialogs, services.clipboard,
                                                        services.urls});
                     });
    content.setSheet(ContentView::Sheet::drawings, u"canvas.title"_s,
                     [&store, services](std::function<void()>) {
                         return makeCanvasSheet(
                             store, CanvasServices{services.dialogs, services.shareMenu,
                                                   services.pages});
                     });
    content.setSheet(ContentView::Sheet::wallpaper, u"wall.title"_s,
                     [&store, services](std::function<void()>) {
                         return makeWallpaperSheet(store, services.dialogs, services.shareMenu);
                     });
    content.setSheet(ContentView::Sheet::settings, u"ios.settings"_s,
                     [&store, services](std::function<void()>) {
                         return makeSettingsSheet(store, services.cloud, services.dialogs,
                                                  services.urls);
                     });
}

} // namespace tessaro
