#include "quotelist.h"

#include "l10n/localization.h"
#include "quotecard.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QVBoxLayout>

namespace tessaro {

namespace {

// What one turn of the event loop spends on new cards: well inside a frame.
constexpr qint64 fillBudgetNs = 3'000'000;
// Before the list has its width, a card's height cannot be measured inside
// the budget; the first turn then builds about a screenful.
constexpr int cardsBeforeWidth = 16;
constexpr int spacing = 14;

} // namespace

QuoteList::QuoteList(QWidget* parent)
    : QWidget(parent)
    , m_layout(new QVBoxLayout(this)) {
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(spacing);
}

QList<QuoteCard*> QuoteList::cards() const {
    QList<QuoteCard*> built;
    for (QuoteCard* card : m_cards)
        if (card)
            built.append(card);
    return built;
}

bool QuoteList::isFilling() const {
    return m_cards.contains(nullptr);
}

void QuoteList::setQuotes(const QList<Quote>& quotes) {
    QHash<QString, QuoteCard*> kept;
    QList<QuoteCard*> cards;
    cards.reserve(quotes.size());
    const DateFormatter dates(chosenLanguageCode());
    for (const Quote& quote : quotes) {
        QuoteCard* card = m_byID.take(quote.id);
        if (card) {
            card->setQuote(quote, dates.format(quote.at));
            kept.insert(quote.id, card);
        }
        cards.append(card);
    }
    // What is left are the cards of quotes that went; one of them may be the
    // card whose delete button is being clicked, so none is deleted here.
    for (QuoteCard* gone : std::as_const(m_byID)) {
        gone->hide();
        m_layout->removeWidget(gone);
        m_spare.append(gone);
    }
    m_quotes = quotes;
    m_cards = std::move(cards);
    m_byID = std::move(kept);
    const bool first = m_layout->count() == 0;
    placeInOrder();
    // A list on show waits for the next turn, which leaves the turn that
    // changed the collection its time for the change itself.
    if (first)
        fill();
    else
        scheduleFill();
}

void QuoteList::placeInOrder() {
    // Quotes keep their order among themselves unless another device
    // redated one; only then are the cards laid out again.
    QList<QWidget*> laidOut;
    for (int i = 0; i < m_layout->count(); ++i)
        laidOut.append(m_layout->itemAt(i)->widget());
    QList<QWidget*> wanted;
    for (QuoteCard* card : std::as_const(m_cards))
        if (card)
            wanted.append(card);
    if (laidOut == wanted)
        return;
    for (QWidget* card : std::as_const(laidOut))
        m_layout->removeWidget(card);
    for (QWidget* card : std::as_const(wanted))
        m_layout->addWidget(card);
}

void QuoteList::scheduleFill() {
    if (m_fillPending)
        return;
    m_fillPending = true;
    QTimer::singleShot(0, this, [this] {
        m_fillPending = false;
        fill();
    });
}

void QuoteList::fill() {
    QElapsedTimer clock;
    clock.start();
    const bool measured = testAttribute(Qt::WA_WState_Visible) && width() > 0;
    const DateFormatter dates(chosenLanguageCode());
    int built = 0;
    int position = 0;
    for (qsizetype i = 0; i < m_cards.size(); ++i) {
        if (m_cards[i]) {
            ++position;
            continue;
        }
        if (built > 0 && (measured ? clock.nsecsElapsed() > fillBudgetNs : built >= cardsBeforeWidth)) {
            scheduleFill();
            return;
        }
        QuoteCard* card = m_spare.isEmpty() ? nullptr : m_spare.takeLast();
        if (card) {
            card->reset();
            card->show();
        } else {
            card = new QuoteCard(this);
            connect(card, &QuoteCard::deleteRequested, this,
                    [this, card] { Q_EMIT deleteRequested(card->quote().id); });
            connect(card, &QuoteCard::linkActivated, this, &QuoteList::linkActivated);
        }
        card->setQuote(m_quotes[i], dates.format(m_quotes[i].at));
        // Measured here, inside the budget, rather than all at once when
        // the layout next runs.
        if (measured)
            card->heightForWidth(width());
        m_layout->insertWidget(position++, card);
        m_cards[i] = card;
        m_byID.insert(m_quotes[i].id, card);
        ++built;
    }
    for (QuoteCard* spare : std::exchange(m_spare, {}))
        spare->deleteLater();
}

void QuoteList::retranslate() {
    const DateFormatter dates(chosenLanguageCode());
    for (QuoteCard* card : std::as_const(m_cards))
        if (card)
            card->retranslate(dates.format(card->quote().at));
}

} // namespace tessaro
