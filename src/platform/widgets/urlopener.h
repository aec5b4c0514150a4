#pragma once

class QUrl;

namespace tessaro {

// Hands a link to the desktop, which opens it in the program the user chose
// for its kind (the web browser for a web page). Callers decide which links
// may be opened at all.
class UrlOpener {
public:
    virtual ~UrlOpener() = default;

    // False when the desktop could not open it.
    virtual bool open(const QUrl& url) = 0;
};

// QDesktopServices, which asks the desktop portal or xdg-open.
class QtUrlOpener final : public UrlOpener {
public:
    bool open(const QUrl& url) override;
};

} // namespace tessaro
