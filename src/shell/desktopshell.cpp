#include "desktopshell.h"

#include "keeper.h"
#include "l10n/localization.h"
#include "platform/gui/textsource.h"
#include "platform/widgets/clipboard.h"
#include "traymenu.h"
#include "ui/common/toasts.h"
#include "ui/window/mainwindow.h"

#include <QEvent>

namespace tessaro {

using namespace Qt::StringLiterals;

DesktopShell::DesktopShell(MainWindow& window, Keeper& keeper, Clipboard& clipboard,
                           QObject* parent)
    : QObject(parent)
    , m_window(window)
    , m_keeper(keeper)
    , m_clipboard(clipboard) {
    connect(&keeper, &Keeper::frontRequested, this, &DesktopShell::showWindow);
    connect(&keeper, &Keeper::wantsQuotesChanged, this, &DesktopShell::quotesWanted);
    connect(&keeper, &Keeper::kept, this,
            [this](const QString& text) {
                const QString saved = L(u"quotes.saved"_s);
                confirm(saved, saved, text);
            });
    window.installEventFilter(this);
}

void DesktopShell::setTray(TrayMenu* tray) {
    m_tray = tray;
}

bool DesktopShell::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_window && event->type() == QEvent::Close && m_quitOnClose
        && m_quitOnClose())
        Q_EMIT quitRequested();
    return QObject::eventFilter(watched, event);
}

void DesktopShell::handle(const LaunchRequest& request, bool firstStart) {
    switch (request.kind) {
    case LaunchRequest::Kind::activate:
        if (!request.background)
            m_keeper.bringToFront(false);
        return;
    case LaunchRequest::Kind::open: {
        bool anyKept = false;
        for (const QUrl& link : request.links)
            anyKept = m_keeper.openLink(link) || anyKept;
        // A start for a link it cannot take still opens Tessaro.
        if (firstStart && !anyKept && !request.background)
            m_keeper.bringToFront(false);
        return;
    }
    case LaunchRequest::Kind::action:
        if (request.action == keepClipboardAction) {
            const QString error =
                m_keeper.keepLine(m_clipboard.text().value_or(QString()), focusedWindowClass());
            if (!error.isEmpty())
                confirm(error, u"Tessaro"_s, error);
        }
        return;
    }
}

void DesktopShell::showWindow() {
    if (m_window.isMinimized())
        m_window.showNormal();
    else
        m_window.show();
    m_window.raise();
    m_window.activateWindow();
}

void DesktopShell::quotesWanted(bool wants) {
    // Only a window on screen takes the request; one that opens later does
    // not find an old one waiting.
    if (!wants || !m_window.isVisible() || !m_window.content())
        return;
    m_window.content()->openSheet(ContentView::Sheet::quotes);
    m_keeper.setWantsQuotes(false);
}

void DesktopShell::confirm(const QString& toast, const QString& trayTitle,
                           const QString& trayText) {
    if (m_window.isVisible() && !m_window.isMinimized() && m_window.content())
        m_window.content()->toasts().show(toast);
    else if (m_tray)
        m_tray->notify(trayTitle, trayText);
}

} // namespace tessaro
