#pragma once

namespace tessaro {

class Clipboard;
class CloudSettings;
class ContentView;
class FileDialogs;
class PageFiles;
class PenStore;
class ShareMenu;
class UrlOpener;

// The desktop's services the sheets work through; the entry hands in the
// real ones, tests their fakes.
struct SheetServices {
    FileDialogs& dialogs;
    Clipboard& clipboard;
    ShareMenu& shareMenu;
    UrlOpener& urls;
    CloudSettings& cloud;
    PageFiles& pages;
};

// Lets each of the screen's buttons open its sheet.
void offerSheets(ContentView& content, PenStore& store, const SheetServices& services);

} // namespace tessaro
