#pragma once

#include "quotes/quote.h"

#include <QHash>
#include <QWidget>

class QVBoxLayout;

namespace tessaro {

class QuoteCard;

// The cards of the collection, newest first. A change of the collection
// keeps the cards of quotes that stay (with their swipe state) and builds
// the new ones a few at a time, between frames, so that five hundred new
// quotes never hold up the window.
class QuoteList final : public QWidget {
    Q_OBJECT

public:
    explicit QuoteList(QWidget* parent = nullptr);

    void setQuotes(const QList<Quote>& quotes);
    // Dates and labels in the chosen language.
    void retranslate();

    // The cards built so far, in order; all of them once `isFilling` is false.
    QList<QuoteCard*> cards() const;
    bool isFilling() const;

Q_SIGNALS:
    void deleteRequested(const QString& id);
    void linkActivated(const QString& url);

private:
    // Builds missing cards, in order, for a few milliseconds, taking spare
    // ones first; deletes the spares left when all are there.
    void fill();
    void scheduleFill();
    void placeInOrder();

    QList<Quote> m_quotes;
    // Parallel to m_quotes; null where a card is still to be built.
    QList<QuoteCard*> m_cards;
    QHash<QString, QuoteCard*> m_byID;
    // Cards of quotes that went, to show new ones rather than be deleted
    // and built again.
    QList<QuoteCard*> m_spare;
    QVBoxLayout* m_layout;
    bool m_fillPending = false;
};

} // namespace tessaro
