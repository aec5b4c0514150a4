#include "casesheet.h"

#include "caserow.h"
#include "l10n/localization.h"
#include "trayicon.h"
#include "ui/editor/uilook.h"

#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QShowEvent>
#include <QStackedLayout>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tessaro {

namespace {

constexpr int padding = 12;
constexpr int symbolSize = 40;

// The empty case's symbol, painted at the screen's resolution.
class SymbolView final : public QWidget {
public:
    explicit SymbolView(QWidget* parent = nullptr)
        : QWidget(parent) {
        setFixedSize(symbolSize, symbolSize);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        trayIcon(look::colour(interfacePalette().textSoft)).paint(&painter, rect());
    }
};

void setTextColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

} // namespace

CaseSheet::CaseSheet(PenStore& store, QWidget* parent)
    : QWidget(parent)
    , m_store(store)
    , m_pages(new QStackedLayout(this))
    , m_empty(new QWidget)
    , m_emptyIcon(new SymbolView)
    , m_emptyText(new QLabel)
    , m_list(new QScrollArea)
    , m_hint(new QLabel) {
    auto* emptyLayout = new QVBoxLayout(m_empty);
    emptyLayout->setContentsMargins(padding, padding, padding, padding);
    emptyLayout->setSpacing(10);
    emptyLayout->addStretch();
    emptyLayout->addWidget(m_emptyIcon, 0, Qt::AlignHCenter);
    emptyLayout->addWidget(m_emptyText);
    emptyLayout->addStretch();
    m_emptyText->setFont(look::font(15, QFont::Normal));
    m_emptyText->setAlignment(Qt::AlignCenter);
    m_emptyText->setWordWrap(true);

    auto* content = new QWidget;
    m_rowsLayout = new QVBoxLayout(content);
    m_rowsLayout->setContentsMargins(padding, padding, padding, padding);
    m_rowsLayout->setSpacing(10);
    m_rowsLayout->addWidget(m_hint);
    m_rowsLayout->addStretch();
    m_hint->setFont(look::font(13, QFont::Normal));
    m_hint->setWordWrap(true);
    m_list->setWidget(content);
    m_list->setWidgetResizable(true);
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->viewport()->setAutoFillBackground(false);
    content->setAutoFillBackground(false);

    m_pages->addWidget(m_empty);
    m_pages->addWidget(m_list);

    connect(&m_store, &PenStore::changed, this, [this](PenStore::Changes what) {
        if (what & PenStore::Change::saved)
            showSaved();
    });
    new look::Watch(
        this, [this] { applyLook(); }, [this] { retranslate(); });
    retranslate();
    applyLook();
}

std::optional<qsizetype> CaseSheet::armedDelete() const {
    if (!m_armed)
        return std::nullopt;
    return m_armed->index;
}

QList<CaseRow*> CaseSheet::rows() const {
    return m_rows;
}

bool CaseSheet::showsEmptyState() const {
    return m_pages->currentWidget() == m_empty;
}

void CaseSheet::retranslate() {
    m_emptyText->setText(L(u"case.empty"_s));
    m_hint->setText(L(u"case.hint"_s));
    // Labels and dates are in the language too.
    showSaved();
}

void CaseSheet::showSaved() {
    const QList<Pen>& saved = m_store.saved();
    if (m_armed && saved.value(m_armed->index).id() != m_armed->penID) {
        const auto moved = std::find_if(saved.cbegin(), saved.cend(),
                                        [&](const Pen& pen) { return pen.id() == m_armed->penID; });
        if (moved == saved.cend())
            m_armed.reset();
        else
            m_armed->index = moved - saved.cbegin();
    }

    while (m_rows.size() > saved.size()) {
        // Later: the row may be the one whose button is being clicked.
        CaseRow* row = m_rows.takeLast();
        row->hide();
        m_rowsLayout->removeWidget(row);
        row->deleteLater();
    }
    while (m_rows.size() < saved.size()) {
        auto* row = new CaseRow;
        connect(row->card(), &PenCard::clicked, this, [this, row] { open(row); });
        connect(row->deleteButton(), &DeleteButton::clicked, this,
                [this, row] { pressDelete(row); });
        // Before the stretch that keeps the rows at the top.
        m_rowsLayout->insertWidget(m_rowsLayout->count() - 1, row);
        m_rows.append(row);
    }

    const DateFormatter dates(chosenLanguageCode());
    const qsizetype count = saved.size();
    for (qsizetype i = 0; i < count; ++i) {
        const Pen& pen = saved[i];
        const QString date = pen.savedAt ? dates.format(*pen.savedAt) : localizedDate(std::nullopt);
        const QString label = fillPlaceholders(
            L(u"case.pen"_s), {{u"n"_s, QString::number(count - i)}, {u"date"_s, date}});
        m_rows[i]->setContent(pen, label, m_armed && m_armed->index == i);
    }
    m_pages->setCurrentWidget(saved.isEmpty() ? m_empty : m_list);
}

void CaseSheet::open(CaseRow* row) {
    const qsizetype index = m_rows.indexOf(row);
    if (index < 0)
        return;
    m_store.takeFromCase(index);
    Q_EMIT dismissRequested();
}

void CaseSheet::pressDelete(CaseRow* row) {
    const qsizetype index = m_rows.indexOf(row);
    if (index < 0 || index >= m_store.saved().size())
        return;
    if (m_armed && m_armed->index == index) {
        m_armed.reset();
        m_store.deleteFromCase(index);
        return;
    }
    m_armed = Armed{index, m_store.saved()[index].id()};
    showSaved();
}

void CaseSheet::applyLook() {
    const InterfacePalette& palette = interfacePalette();
    setTextColour(m_emptyText, look::colour(palette.textMain));
    setTextColour(m_hint, look::colour(palette.textSoft));
    update();
    for (QWidget* child : findChildren<QWidget*>())
        child->update();
}

void CaseSheet::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Each presentation starts with nothing armed; a window coming back from
    // the task bar is the same presentation.
    if (!event->spontaneous() && m_armed) {
        m_armed.reset();
        showSaved();
    }
}

void CaseSheet::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), look::colour(interfacePalette().background));
}

} // namespace tessaro
