#pragma once

#include <QList>
#include <QString>

class QImage;
class QPoint;
class QWidget;

namespace tessaro {

class Clipboard;

// The menu's entries, in the interface's language.
struct ShareTexts {
    QString copyImage;
    QString openInViewer;
    QString attachToMail;
};

// What can be done with pictures on this desktop, offered as a small menu:
// copy the picture to the clipboard, open the pictures in the default image
// viewer, attach them to a new mail.
class ShareMenu {
public:
    virtual ~ShareMenu() = default;

    // Shows the choices for `images` over `parent`, the menu's top centre at
    // `position` (global coordinates), and returns at once.
    virtual void share(const QList<QImage>& images, const ShareTexts& texts, QWidget* parent,
                       const QPoint& position) = 0;
};

// A QMenu. The viewer and the mail program read PNG files that are written to
// `folder` (by default "share" in the cache location) off the GUI thread;
// files older than a day are removed there on the next share. The mail entry
// shows only where xdg-email is installed.
class QtShareMenu final : public ShareMenu {
public:
    explicit QtShareMenu(Clipboard& clipboard, QString folder = {});

    void share(const QList<QImage>& images, const ShareTexts& texts, QWidget* parent,
               const QPoint& position) override;

private:
    enum class Handoff { viewer, mail };
    void handOff(const QList<QImage>& images, Handoff to) const;

    Clipboard& m_clipboard;
    QString m_folder;
};

} // namespace tessaro
