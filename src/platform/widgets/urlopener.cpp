#include "urlopener.h"

#include <QDesktopServices>
#include <QUrl>

namespace tessaro {

bool QtUrlOpener::open(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

} // namespace tessaro
