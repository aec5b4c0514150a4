#pragma once

#include "quotessheetservices.h"

#include <QWidget>

#include <memory>

class QLabel;
class QScrollArea;

namespace tessaro {

class GhostButton;
class PenStore;
class QuoteComposer;
class QuoteList;
class Toasts;

// The quotes sheet's content: the composer, the count with import and
// export, and the cards of the collection, newest first, in one scrolling
// column at most 860 wide. Every change goes through the store: keep adds a
// quote, a card's second delete press deletes one, an import merges a file's
// quotes. An import file is read and parsed on a worker thread, so the window
// keeps turning, and merged on the GUI thread; a toast tells each outcome.
class QuotesSheet final : public QWidget {
    Q_OBJECT

public:
    QuotesSheet(PenStore& store, const QuotesSheetServices& services, QWidget* parent = nullptr);
    ~QuotesSheet() override;

    QuoteComposer* composer() const { return m_composer; }
    QuoteList* list() const { return m_list; }
    GhostButton* importButton() const { return m_import; }
    GhostButton* exportButton() const { return m_export; }
    QLabel* countLabel() const { return m_count; }
    QScrollArea* scrollArea() const { return m_scroll; }
    bool showsEmptyState() const;
    // True from the choice of an import file until its quotes are merged.
    bool isImporting() const { return m_importing; }
    Toasts& toasts() const { return *m_toasts; }

    void retranslate();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* buildCountRow();
    QWidget* buildEmptyState();
    void showQuotes();
    void paste();
    void keep();
    void importFile();
    void finishImport(const std::variant<QList<Quote>, QString>& read);
    void exportFile();
    void openLink(const QString& url);
    void deleteQuote(const QString& id);
    void applyLook();

    PenStore& m_store;
    QuotesSheetServices m_services;
    QScrollArea* m_scroll;
    QuoteComposer* m_composer;
    QLabel* m_count = nullptr;
    GhostButton* m_import = nullptr;
    GhostButton* m_export = nullptr;
    QWidget* m_empty = nullptr;
    QLabel* m_emptyText = nullptr;
    QLabel* m_hint;
    QuoteList* m_list;
    std::unique_ptr<Toasts> m_toasts;
    bool m_importing = false;
};

} // namespace tessaro
