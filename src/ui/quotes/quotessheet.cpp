#include "quotessheet.h"

#include "l10n/languagemanager.h"
#include "l10n/localization.h"
#include "platform/widgets/filedialogs.h"
#include "platform/gui/urlopener.h"
#include "quotecardaccessible.h"
#include "quotecomposer.h"
#include "quotelink.h"
#include "quotelist.h"
#include "quotes/quoteexport.h"
#include "store/penstore.h"
#include "importjob.h"
#include "ui/common/desktophelpers.h"
#include "ui/common/ghostbutton.h"
#include "ui/common/interfacecolours.h"
#include "ui/common/interfacefont.h"
#include "ui/common/toasts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tessaro {

namespace {

constexpr int columnWidth = 860;
constexpr int padding = 16;
constexpr int extraBottom = 24;
constexpr int spacing = 14;

// The sheet's column: as wide as the sheet allows, up to its most, so that
// the centring layout around it never narrows it below the room there is.
// Its height comes from its width; the hint's height would measure every
// card at a width it never shows at.
class Column final : public QWidget {
public:
    QSize sizeHint() const override { return {columnWidth, minimumSizeHint().height()}; }
};

// The opening quotation mark of the empty state, 30 points tall, drawn as a
// shape so that it shows at that size whatever the font's proportions.
class QuoteSymbol final : public QWidget {
public:
    static constexpr int size = 30;

    QuoteSymbol() { setFixedSize(size * 2, size); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainterPath mark;
        mark.addText(0, 0, interfaceFont(100, QFont::Bold, FontDesign::rounded), u"\u201C"_s);
        const QRectF bounds = mark.boundingRect();
        const double scale = size / std::max(bounds.width(), bounds.height());
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(width() / 2.0, height() / 2.0);
        painter.scale(scale, scale);
        painter.translate(-bounds.center());
        painter.fillPath(mark, interfaceColour(interfacePalette().textSoft));
    }
};

void setTextColour(QLabel* label, const PaletteColour& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, interfaceColour(colour));
    label->setPalette(palette);
}

} // namespace

QuotesSheet::QuotesSheet(PenStore& store, const QuotesSheetServices& services, QWidget* parent)
    : QWidget(parent)
    , m_store(store)
    , m_services(services)
    , m_scroll(new QScrollArea(this))
    , m_composer(new QuoteComposer)
    , m_hint(new QLabel)
    , m_list(new QuoteList)
    , m_toasts(std::make_unique<Toasts>(this, services.timers)) {
    installQuoteCardAccessible();

    auto* column = new Column;
    column->setMaximumWidth(columnWidth);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(padding, padding, padding, padding + extraBottom);
    layout->setSpacing(spacing);
    layout->addWidget(m_composer);
    layout->addWidget(buildCountRow());
    layout->addWidget(buildEmptyState());
    m_hint->setFont(interfaceFont(12, QFont::Normal));
    m_hint->setWordWrap(true);
    layout->addWidget(m_hint);
    layout->addWidget(m_list);
    layout->addStretch(1);

    auto* host = new QWidget;
    auto* centring = new QHBoxLayout(host);
    centring->setContentsMargins(0, 0, 0, 0);
    centring->addWidget(column, 0, Qt::AlignHCenter);
    m_scroll->setWidget(host);
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->viewport()->setAutoFillBackground(false);
    host->setAutoFillBackground(false);
    auto* frame = new QVBoxLayout(this);
    frame->setContentsMargins(0, 0, 0, 0);
    frame->addWidget(m_scroll);

    connect(m_composer, &QuoteComposer::pasteRequested, this, &QuotesSheet::paste);
    connect(m_composer, &QuoteComposer::keepRequested, this, &QuotesSheet::keep);
    connect(m_import, &QAbstractButton::clicked, this, &QuotesSheet::importFile);
    connect(m_export, &QAbstractButton::clicked, this, &QuotesSheet::exportFile);
    connect(m_list, &QuoteList::deleteRequested, this, &QuotesSheet::deleteQuote);
    connect(m_list, &QuoteList::linkActivated, this, &QuotesSheet::openLink);
    connect(&m_store, &PenStore::changed, this, [this](PenStore::Changes what) {
        if (what & PenStore::Change::quotes)
            showQuotes();
    });
    if (const LanguageManager* languages = LanguageManager::shared())
        connect(languages, &LanguageManager::codeChanged, this, &QuotesSheet::retranslate);
    // One watch for the whole sheet: the cards read their colours as they
    // paint.
    new AppearanceWatch(this, [this] { applyLook(); });

    retranslate();
    applyLook();
}

QuotesSheet::~QuotesSheet() = default;

QWidget* QuotesSheet::buildCountRow() {
    auto* row = new QWidget;
    m_count = new QLabel;
    m_count->setFont(interfaceFont(14, QFont::DemiBold));
    m_import = new GhostButton;
    m_export = new GhostButton;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(4, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(m_count, 1);
    layout->addWidget(m_import);
    layout->addWidget(m_export);
    return row;
}

QWidget* QuotesSheet::buildEmptyState() {
    m_empty = new QWidget;
    m_emptyText = new QLabel;
    m_emptyText->setFont(interfaceFont(14, QFont::Normal));
    m_emptyText->setAlignment(Qt::AlignCenter);
    m_emptyText->setWordWrap(true);
    auto* layout = new QVBoxLayout(m_empty);
    layout->setContentsMargins(18, 28, 18, 28);
    layout->setSpacing(10);
    layout->addWidget(new QuoteSymbol, 0, Qt::AlignHCenter);
    layout->addWidget(m_emptyText);
    return m_empty;
}

bool QuotesSheet::showsEmptyState() const {
    return !m_empty->isHidden();
}

void QuotesSheet::retranslate() {
    m_composer->retranslate();
    m_import->setText(L(u"quotes.import"_s));
    m_export->setText(L(u"quotes.export"_s));
    m_emptyText->setText(L(u"quotes.phoneEmpty"_s));
    m_hint->setText(L(u"ios.quotes.swipeHint"_s));
    m_list->retranslate();
    showQuotes();
}

void QuotesSheet::showQuotes() {
    const QList<Quote>& quotes = m_store.quotes();
    m_count->setText(
        fillPlaceholders(L(u"quotes.count"_s), {{u"n"_s, QString::number(quotes.size())}}));
    m_empty->setHidden(!quotes.isEmpty());
    m_hint->setHidden(quotes.isEmpty());
    m_list->setHidden(quotes.isEmpty());
    m_list->setQuotes(quotes);
}

void QuotesSheet::paste() {
    const std::optional<QString> text = pasteboardText(m_services.clipboard);
    if (!text || text->isEmpty())
        return;
    const QString draft = m_composer->draft();
    m_composer->setDraft(draft.isEmpty() ? *text : draft + u'\n' + *text);
}

void QuotesSheet::keep() {
    if (!m_store.addQuote(m_composer->draft(), m_composer->draftSource(), std::nullopt))
        return;
    m_composer->clear();
    m_toasts->show(L(u"quotes.saved"_s));
}

void QuotesSheet::importFile() {
    if (m_importing)
        return;
    const std::optional<QString> path =
        m_services.files.askOpenFile({u"text/plain"_s, u"application/json"_s});
    if (!path)
        return;
    m_importing = true;
    m_import->setEnabled(false);
    readImportInBackground(m_services.readImport, *path, currentDate(), this,
                           [this](const std::variant<QList<Quote>, QString>& read) {
                               m_importing = false;
                               m_import->setEnabled(true);
                               finishImport(read);
                           });
}

void QuotesSheet::finishImport(const std::variant<QList<Quote>, QString>& read) {
    if (const QString* problem = std::get_if<QString>(&read)) {
        m_toasts->show(L(*problem));
        return;
    }
    const int added = m_store.importQuotes(std::get<QList<Quote>>(read));
    m_toasts->show(added == 0 ? L(u"ios.quotes.importNone"_s)
                              : fillPlaceholders(L(u"ios.quotes.imported"_s),
                                                 {{u"n"_s, QString::number(added)}}));
}

void QuotesSheet::exportFile() {
    const QString text = exportText(m_store.quotes(), chosenLanguageCode());
    // A user who asked for a backup must not believe they have one when the
    // file could not be written; a save or a cancel goes without a word.
    if (saveTextFile(exportFileName, text, m_services.files) == SaveOutcome::failed)
        m_toasts->show(L(u"quotes.exportFailed"_s));
}

void QuotesSheet::openLink(const QString& url) {
    if (const std::optional<QUrl> link = webLink(url))
        m_services.urls.open(*link);
}

void QuotesSheet::deleteQuote(const QString& id) {
    m_store.deleteQuote(id);
    m_toasts->show(L(u"ios.quotes.deleted"_s));
}

void QuotesSheet::applyLook() {
    const InterfacePalette& palette = interfacePalette();
    setTextColour(m_count, palette.textMain);
    setTextColour(m_hint, palette.textSoft);
    setTextColour(m_emptyText, palette.textSoft);
    m_composer->applyLook();
    // A slim bar in the interface's own colours, not the style's grey trough.
    m_scroll->verticalScrollBar()->setStyleSheet(
        u"QScrollBar:vertical { width: 10px; background: transparent; margin: 2px; }"
        "QScrollBar::handle:vertical { background: %1; border-radius: 3px; min-height: 32px; }"
        "QScrollBar::add-line, QScrollBar::sub-line { height: 0; }"
        "QScrollBar::add-page, QScrollBar::sub-page { background: transparent; }"_s.arg(
            interfaceColour(palette.textSoft, 0.45).name(QColor::HexArgb)));
    update();
    m_scroll->viewport()->update();
}

void QuotesSheet::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), interfaceColour(interfacePalette().background));
}

} // namespace tessaro
