#pragma once

class QUrl;

namespace tessaro {

// Hands a link to the desktop: the mail program, the browser, the software
// centre.
class UrlOpener {
public:
    virtual ~UrlOpener() = default;

    // False when nothing on the desktop takes the link.
    virtual bool open(const QUrl& url) = 0;
};

// QDesktopServices, which asks the desktop's handler for the link's scheme.
class DesktopUrlOpener final : public UrlOpener {
public:
    bool open(const QUrl& url) override;
};

} // namespace tessaro
