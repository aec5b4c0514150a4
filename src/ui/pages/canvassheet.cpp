#include "canvassheet.h"

#include "l10n/languagemanager.h"
#include "l10n/localization.h"
#include "pagefiles.h"
#include "pagesymbols.h"
#include "pagetile.h"
#include "pageview.h"
#include "store/penstore.h"
#include "tilegrid.h"
#include "ui/common/interfacecolours.h"
#include "ui/common/interfacefont.h"

#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QShowEvent>
#include <QStackedLayout>
#include <QVBoxLayout>

namespace tessaro {

using namespace Qt::StringLiterals;

namespace {

constexpr int padding = 16;
constexpr int symbolSize = 40;

// The empty sheet's scribble, painted at the screen's resolution.
class ScribbleView final : public QWidget {
public:
    explicit ScribbleView(QWidget* parent = nullptr)
        : QWidget(parent) {
        setFixedSize(symbolSize, symbolSize);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        paintScribble(painter, rect(), interfaceColour(interfacePalette().textSoft), 1.2);
    }
};

QLabel* textLine(int size, Qt::Alignment alignment) {
    auto* label = new QLabel;
    label->setFont(interfaceFont(size, QFont::Normal));
    label->setAlignment(alignment);
    label->setWordWrap(true);
    return label;
}

void setTextColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

} // namespace

CanvasSheet::CanvasSheet(PenStore& store, const CanvasServices& services, QWidget* parent)
    : QWidget(parent)
    , m_store(store)
    , m_services(services)
    , m_pages(new QStackedLayout(this))
    , m_empty(new QWidget)
    , m_emptyText(textLine(15, Qt::AlignCenter))
    , m_emptyCloud(textLine(12, Qt::AlignCenter))
    , m_list(new QScrollArea)
    , m_hint(textLine(13, Qt::AlignLeft))
    , m_listCloud(textLine(12, Qt::AlignLeft))
    , m_grid(new TileGrid)
    , m_page(new PageView(store, services)) {
    auto* emptyLayout = new QVBoxLayout(m_empty);
    emptyLayout->setContentsMargins(padding, padding, padding, padding);
    emptyLayout->setSpacing(10);
    emptyLayout->addStretch();
    emptyLayout->addWidget(new ScribbleView, 0, Qt::AlignHCenter);
    emptyLayout->addWidget(m_emptyText);
    emptyLayout->addWidget(m_emptyCloud);
    emptyLayout->addStretch();

    auto* content = new QWidget;
    auto* listLayout = new QVBoxLayout(content);
    listLayout->setContentsMargins(padding, padding, padding, padding);
    listLayout->setSpacing(8);
    listLayout->addWidget(m_hint);
    listLayout->addWidget(m_listCloud);
    listLayout->addSpacing(6);
    listLayout->addWidget(m_grid);
    listLayout->addStretch();
    m_list->setWidget(content);
    m_list->setWidgetResizable(true);
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->viewport()->setAutoFillBackground(false);
    content->setAutoFillBackground(false);

    m_pages->addWidget(m_empty);
    m_pages->addWidget(m_list);
    m_pages->addWidget(m_page);

    connect(m_page, &PageView::backRequested, this, &CanvasSheet::showGrid);
    connect(&m_store, &PenStore::changed, this, [this](PenStore::Changes what) {
        if (what & PenStore::Change::drawings)
            showDrawings();
    });
    new AppearanceWatch(this, [this] { applyLook(); });
    if (LanguageManager* languages = LanguageManager::shared())
        connect(languages, &LanguageManager::codeChanged, this, &CanvasSheet::retranslate);
    retranslate();
    applyLook();
}

std::optional<QString> CanvasSheet::openID() const {
    if (m_pages->currentWidget() != m_page)
        return std::nullopt;
    return m_page->drawingID();
}

bool CanvasSheet::showsEmptyState() const {
    return m_pages->currentWidget() == m_empty;
}

bool CanvasSheet::showsCloudHint() const {
    return !m_services.pageFiles.cloudAvailable();
}

void CanvasSheet::openPage(const QString& id) {
    m_page->open(id);
    m_pages->setCurrentWidget(m_page);
}

void CanvasSheet::showGrid() {
    m_pages->setCurrentWidget(m_store.drawings().isEmpty() ? m_empty : m_list);
    showDrawings();
}

void CanvasSheet::retranslate() {
    m_emptyText->setText(L(u"canvas.empty"_s));
    m_emptyCloud->setText(L(u"canvas.icloudOff"_s));
    m_hint->setText(L(u"canvas.phoneHint"_s));
    m_listCloud->setText(L(u"canvas.icloudOff"_s));
    m_page->retranslate();
    // The dates and the delete buttons are in the language too.
    showDrawings();
}

void CanvasSheet::showDrawings() {
    const QList<Drawing>& drawings = m_store.drawings();
    if (m_armed && !m_store.drawing(*m_armed))
        m_armed.reset();

    while (m_tiles.size() > drawings.size()) {
        // Later: the tile may be the one whose button is being clicked.
        PageTile* tile = m_tiles.takeLast();
        tile->hide();
        tile->deleteLater();
    }
    while (m_tiles.size() < drawings.size()) {
        auto* tile = new PageTile;
        connect(tile, &PageTile::opened, this, [this, tile] { openPage(tile->drawingID()); });
        connect(tile->deleteButton(), &QAbstractButton::clicked, this,
                [this, tile] { pressDelete(tile); });
        m_tiles.append(tile);
    }
    const DateFormatter dates(chosenLanguageCode());
    for (qsizetype i = 0; i < drawings.size(); ++i) {
        const Drawing& drawing = drawings[i];
        m_tiles[i]->setContent(drawing, dates.format(drawing.updatedAt), m_armed == drawing.id);
    }
    m_grid->setTiles(QList<QWidget*>(m_tiles.cbegin(), m_tiles.cend()), PageTile::tileHeight);

    const bool cloudMissing = !m_services.pageFiles.cloudAvailable();
    m_emptyCloud->setVisible(cloudMissing);
    m_listCloud->setVisible(cloudMissing);
    // An open page stays open while the records change (its own thumbnail
    // arriving, another device's pages coming in).
    if (m_pages->currentWidget() != m_page)
        m_pages->setCurrentWidget(drawings.isEmpty() ? m_empty : m_list);
}

void CanvasSheet::pressDelete(PageTile* tile) {
    const QString id = tile->drawingID();
    if (!m_store.drawing(id))
        return;
    if (m_armed == id) {
        m_armed.reset();
        m_store.deleteDrawing(id);
        return;
    }
    m_armed = id;
    showDrawings();
}

void CanvasSheet::applyLook() {
    const InterfacePalette& palette = interfacePalette();
    setTextColour(m_emptyText, interfaceColour(palette.textMain));
    for (QLabel* soft : {m_emptyCloud, m_hint, m_listCloud})
        setTextColour(soft, interfaceColour(palette.textSoft));
    m_page->applyLook();
    update();
    for (QWidget* child : findChildren<QWidget*>())
        child->update();
}

void CanvasSheet::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Each presentation starts on the grid with nothing armed; a window
    // coming back from the task bar is the same presentation.
    if (!event->spontaneous()) {
        m_armed.reset();
        showGrid();
    }
}

void CanvasSheet::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), interfaceColour(interfacePalette().background));
}

QWidget* makeCanvasSheet(PenStore& store, const CanvasServices& services) {
    return new CanvasSheet(store, services);
}

} // namespace tessaro
