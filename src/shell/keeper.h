#pragma once

#include <QObject>
#include <QString>

#include <optional>

class QUrl;

namespace tessaro {

class PenStore;

// Where the outside reaches Tessaro: text kept from other programs and
// "tessaro://keep" links go into the store, and the hot key and the tray
// bring the window forward. The store exists from the start of the process,
// so text that arrives before the window is shown is kept, not dropped.
class Keeper final : public QObject {
    Q_OBJECT

public:
    explicit Keeper(PenStore& store, QObject* parent = nullptr);

    // Asks for the window (frontRequested); with showQuotes, for the quotes
    // sheet as well, once the window is up.
    void bringToFront(bool showQuotes);

    // A one-shot request for the quotes sheet: the editor clears it once it
    // has opened the sheet.
    bool wantsQuotes() const { return m_wantsQuotes; }
    void setWantsQuotes(bool wants);

    // The text of the last quote added from outside the window.
    const std::optional<QString>& lastKept() const { return m_lastKept; }

    // Text sent in from another program. Blank text gets back the error to
    // show the sender; other text is added in a later turn of the event loop
    // and the empty text comes back.
    QString keepLine(const QString& text, const QString& source);
    // Adds the text at once; false when the store refused it (blank, or one
    // of the newest quotes already).
    bool keepFromServices(const QString& text, const QString& source);
    // A "tessaro://keep" link; false for any other link or a refused quote.
    bool openLink(const QUrl& link);

Q_SIGNALS:
    void frontRequested();
    void wantsQuotesChanged(bool wants);
    // A quote from outside was kept.
    void kept(const QString& text);

private:
    bool keep(const QString& text, const QString& source, const std::optional<QString>& url);

    PenStore& m_store;
    bool m_wantsQuotes = false;
    std::optional<QString> m_lastKept;
};

} // namespace tessaro
