#pragma once

#include "quotes/quotefile.h"

#include <functional>

namespace tessaro {

class Clipboard;
class FileDialogs;
class TimerSource;
class UrlOpener;

// What the quotes sheet asks of the desktop, handed in so that tests can
// script it. The references must outlive every sheet built with them.
struct QuotesSheetServices {
    using ImportReader = std::function<std::variant<QList<Quote>, QString>(const QString& path,
                                                                           Date now)>;

    FileDialogs& files;
    Clipboard& clipboard;
    // Opens a quote's web link.
    UrlOpener& urls;
    // Runs the toasts' delays; none means Qt's timers.
    TimerSource* timers = nullptr;
    // Reads and parses a picked import file. Called on a worker thread.
    ImportReader readImport = readQuotesFile;
};

} // namespace tessaro
