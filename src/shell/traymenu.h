#pragma once

#include <QImage>
#include <QObject>

#include <memory>
#include <optional>

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace tessaro {

class Keeper;
class PenStore;
struct Pen;

// The pen as the menu shows it: no charm, tilted by -6°, 360 × 68 points at
// twice the pixels. Null when it cannot be drawn.
QImage menuPreview(const Pen& pen);

// Tessaro's place in the tray: a menu with the pen, the newest five quotes
// and the commands to open and to quit; a click on the icon opens the
// window. The menu follows the pen, the quotes and the language.
class TrayMenu final : public QObject {
    Q_OBJECT

public:
    // How the desktop shows the menu: Qt draws it (the preview as a picture
    // of its own), or a StatusNotifierItem host draws rows of text and
    // small icons (the preview becomes the first row's icon).
    enum class Rows { drawn, textAndIcons };

    TrayMenu(PenStore& store, Keeper& keeper, Rows rows, QObject* parent = nullptr);
    ~TrayMenu() override;

    // What this desktop does with a tray menu: StatusNotifierItem where a
    // host is registered on the session bus.
    static Rows desktopRows();

    QMenu* menu() const { return m_menu.get(); }
    QSystemTrayIcon* icon() const { return m_icon; }

    void rebuild();
    // A short message beside the icon, where the desktop shows them.
    void notify(const QString& title, const QString& text);

Q_SIGNALS:
    void quitRequested();

private:
    PenStore& m_store;
    Keeper& m_keeper;
    Rows m_rows;
    std::unique_ptr<QMenu> m_menu;
    QSystemTrayIcon* m_icon = nullptr;
    // Drawn again only when the pen changes.
    std::optional<QImage> m_preview;
};

} // namespace tessaro
