#pragma once

#include "launch.h"

#include <QObject>
#include <QPointer>

#include <functional>

namespace tessaro {

class Clipboard;
class Keeper;
class MainWindow;
class TrayMenu;

// Ties the window to the ways the desktop reaches Tessaro: the keeper's
// requests show the window and its quotes, text kept from outside is
// confirmed where the user can see it, and requests from later starts and
// the session bus are carried out.
class DesktopShell final : public QObject {
    Q_OBJECT

public:
    DesktopShell(MainWindow& window, Keeper& keeper, Clipboard& clipboard,
                 QObject* parent = nullptr);

    // The tray, where the desktop has one: confirmations go there while the
    // window is hidden.
    void setTray(TrayMenu* tray);

    // Asked when the window is closed: true ends the program (nothing would
    // bring the window back); otherwise the window is only hidden.
    void setQuitOnClose(std::function<bool()> quitOnClose) { m_quitOnClose = std::move(quitOnClose); }

    // Carries out one request. A first start shows the window unless it was
    // started in the background or only brought text.
    void handle(const LaunchRequest& request, bool firstStart = false);

Q_SIGNALS:
    // The window was closed and nothing could bring it back.
    void quitRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showWindow();
    void quotesWanted(bool wants);
    // A toast over the window when it is on screen, else a tray message.
    void confirm(const QString& toast, const QString& trayTitle, const QString& trayText);

    MainWindow& m_window;
    Keeper& m_keeper;
    Clipboard& m_clipboard;
    QPointer<TrayMenu> m_tray;
    std::function<bool()> m_quitOnClose;
};

} // namespace tessaro
