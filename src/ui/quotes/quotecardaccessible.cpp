#include "quotecardaccessible.h"

#include "l10n/localization.h"
#include "quotecard.h"

#include <QAccessibleWidget>

using namespace Qt::StringLiterals;

namespace tessaro {

namespace {

class QuoteCardAccessible final : public QAccessibleWidget {
public:
    explicit QuoteCardAccessible(QuoteCard* card)
        : QAccessibleWidget(card, QAccessible::ListItem) {}

    QString text(QAccessible::Text kind) const override {
        if (kind != QAccessible::Name)
            return QAccessibleWidget::text(kind);
        const Quote& quote = card()->quote();
        QStringList parts{quote.text};
        if (!quote.source.isEmpty())
            parts.append(quote.source);
        parts.append(card()->date());
        return parts.join(u"\n"_s);
    }

    QStringList actionNames() const override {
        return QAccessibleWidget::actionNames() << deleteAction();
    }

    void doAction(const QString& name) override {
        if (name == deleteAction())
            Q_EMIT card()->deleteRequested();
        else
            QAccessibleWidget::doAction(name);
    }

    QString localizedActionName(const QString& name) const override {
        return name == deleteAction() ? name : QAccessibleWidget::localizedActionName(name);
    }

private:
    static QString deleteAction() { return L(u"quotes.delete"_s); }
    QuoteCard* card() const { return static_cast<QuoteCard*>(widget()); }
};

QAccessibleInterface* quoteCardFactory(const QString& className, QObject* object) {
    if (className != QLatin1StringView(QuoteCard::staticMetaObject.className()))
        return nullptr;
    if (auto* card = qobject_cast<QuoteCard*>(object))
        return new QuoteCardAccessible(card);
    return nullptr;
}

} // namespace

void installQuoteCardAccessible() {
    static const bool installed = [] {
        QAccessible::installFactory(quoteCardFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace tessaro
