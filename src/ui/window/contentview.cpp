#include "contentview.h"

#include "headerbutton.h"
#include "l10n/languagemanager.h"
#include "l10n/localization.h"
#include "store/penstore.h"
#include "ui/case/casesheet.h"
#include "ui/common/candybutton.h"
#include "ui/common/ghostbutton.h"
#include "ui/common/interfacecolours.h"
#include "ui/common/interfacefont.h"
#include "ui/common/nav.h"
#include "ui/common/toasts.h"
#include "ui/common/toastview.h"
#include "ui/editor/beadtray.h"
#include "ui/editor/stageview.h"
#include "ui/editor/stylerows.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace tessaro {

using namespace Qt::StringLiterals;

namespace {

constexpr int maximumBeads = 6;
// The tagline shows only when the header has room for it beside the title.
constexpr int taglineMinimumWidth = 400;

// The tools' strip: the panel beneath shows through at the top and fades
// into the background, so the last row scrolls out from under the buttons.
class ToolsArea final : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const PaletteColour& background = interfacePalette().background;
        QLinearGradient fade(0, 0, 0, 18);
        fade.setColorAt(0, interfaceColour(background, 0));
        fade.setColorAt(1, interfaceColour(background));
        painter.fillRect(QRect(0, 0, width(), 18), fade);
        painter.fillRect(QRect(0, 18, width(), height() - 18), interfaceColour(background));
    }
};

// One line that shortens itself with an ellipsis to whatever width the
// header leaves it.
class Tagline final : public QWidget {
public:
    using QWidget::QWidget;
    void setText(const QString& text) {
        m_text = text;
        setAccessibleName(text);
        update();
    }
    void setColour(const QColor& colour) {
        m_colour = colour;
        update();
    }
    QSize sizeHint() const override { return {0, fontMetrics().height()}; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setPen(m_colour);
        painter.drawText(rect(), Qt::AlignVCenter | Qt::AlignLeft,
                         fontMetrics().elidedText(m_text, Qt::ElideRight, width()));
    }

private:
    QString m_text;
    QColor m_colour;
};

void setTextColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

} // namespace

ContentView::ContentView(PenStore& store, MotionPreference* motion, QWidget* parent,
                         EditorTime time, TimerSource* timers)
    : QWidget(parent)
    , m_store(store)
    , m_editor(store, motion, std::move(time)) {
    setObjectName(u"ts.content"_s);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(buildHeader());

    m_stage = new StageView(m_editor, this, this);
    column->addWidget(m_stage);

    m_status = new QLabel(this);
    m_status->setObjectName(u"ts.status"_s);
    m_status->setFont(interfaceFont(13, QFont::Normal));
    m_status->setAlignment(Qt::AlignCenter);
    m_status->setTextFormat(Qt::PlainText);
    m_status->setContentsMargins(20, 2, 20, 6);
    column->addWidget(m_status);
    column->addWidget(buildEditBar());

    m_lower = new QScrollArea(this);
    m_lower->setObjectName(u"ts.scroll"_s);
    m_lower->setFrameShape(QFrame::NoFrame);
    m_lower->setWidgetResizable(true);
    m_lower->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_lower->viewport()->setAutoFillBackground(false);
    auto* panel = new QWidget;
    panel->setAutoFillBackground(false);
    auto* rows = new QVBoxLayout(panel);
    rows->setContentsMargins(16, 8, 16, 0);
    rows->setSpacing(18);
    m_tray = new BeadBoxView(store, panel);
    m_styleRows = new StyleRows(store, panel);
    m_styleRows->setObjectName(u"ts.scroll.style"_s);
    m_spacer = new QWidget(panel);
    m_spacer->setObjectName(u"ts.scroll.bottom"_s);
    rows->addWidget(m_tray);
    rows->addWidget(m_styleRows);
    rows->addWidget(m_spacer);
    rows->addStretch(1);
    m_lower->setWidget(panel);
    // The panel lies on the window's own background (the area would fill it).
    panel->setAutoFillBackground(false);
    column->addWidget(m_lower, 1);

    m_tools = buildTools();
    m_toasts = std::make_unique<Toasts>(this, timers);
    // The scroll bar comes and goes with the panel's height.
    m_lower->verticalScrollBar()->installEventFilter(this);

    connect(m_tray, &BeadBoxView::beadTapped, &m_editor, &PenEditor::trayTapped);
    connect(m_tray, &BeadBoxView::beadDragged, this,
            [this](const QString& bead, TrayDragPhase phase, QPointF inWindow) {
                m_editor.trayDragged(bead, phase,
                                     inWindow - QPointF(mapTo(window(), QPoint(0, 0))));
            });
    connect(m_styleRows, &StyleRows::charmPicked, &m_editor, &PenEditor::charmPicked);
    connect(&m_editor, &PenEditor::toastRequested, this,
            [this](const QString& text) { m_toasts->show(text); });
    connect(&m_editor, &PenEditor::changed, this, &ContentView::editorChanged);
    connect(&store, &PenStore::changed, this, &ContentView::storeChanged);

    setSheet(Sheet::penCase, u"case.title"_s, [&store](std::function<void()> dismiss) {
        auto* sheet = new CaseSheet(store);
        connect(sheet, &CaseSheet::dismissRequested, sheet, std::move(dismiss));
        return sheet;
    });

    applyLook();
    new AppearanceWatch(this, [this] { applyLook(); });
    storeChanged();
}

ContentView::~ContentView() = default;

QWidget* ContentView::buildHeader() {
    auto* header = new QWidget(this);
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(16, 6, 16, 2);
    row->setSpacing(8);

    // The product's mark: a small accent dot before the name.
    m_mark = new QWidget(header);
    m_mark->setFixedSize(10, 10);
    row->addWidget(m_mark);

    m_title = new QLabel(u"Tessaro"_s, header);
    m_title->setFont(interfaceFont(20, QFont::Bold));
    row->addWidget(m_title);

    auto* tagline = new Tagline(header);
    tagline->setFont(interfaceFont(12, QFont::Normal));
    tagline->setText(L(u"tagline"_s));
    // Hidden, it keeps its place, so the buttons stay on the right.
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setRetainSizeWhenHidden(true);
    tagline->setSizePolicy(policy);
    m_tagline = tagline;
    row->addWidget(m_tagline, 1);

    const auto addButton = [&](Sheet sheet, const QString& key, const QIcon& symbol) {
        auto* button = new HeaderButton(header);
        button->setText(L(key));
        button->setAccessibleName(L(key));
        button->setSymbol(symbol);
        button->setEnabled(false);
        connect(button, &QAbstractButton::clicked, this, [this, sheet] { openSheet(sheet); });
        m_sheetButtons.insert(sheet, button);
        row->addWidget(button);
    };
    addButton(Sheet::quotes, u"quotes.title"_s, {});
    addButton(Sheet::drawings, u"canvas.title"_s, drawingsSymbol());
    addButton(Sheet::penCase, u"tools.case"_s, {});
    addButton(Sheet::settings, u"ios.settings"_s, settingsSymbol());
    // The settings button is the symbol alone; its name stays for screen readers.
    m_sheetButtons[Sheet::settings]->setText({});
    m_sheetButtons[Sheet::settings]->setToolTip(L(u"ios.settings"_s));
    return header;
}

GhostButton* ContentView::editButton(const QString& key, QWidget* bar,
                                     void (PenEditor::*action)()) {
    auto* button = new GhostButton(L(key), bar);
    button->setObjectName(key);
    button->setAccessibleName(L(key));
    connect(button, &QAbstractButton::clicked, &m_editor, action);
    bar->layout()->addWidget(button);
    return button;
}

QWidget* ContentView::buildEditBar() {
    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(16, 2, 16, 8);
    row->setSpacing(8);
    row->addStretch(1);
    m_left = editButton(u"edit.left"_s, bar, &PenEditor::moveLeft);
    m_right = editButton(u"edit.right"_s, bar, &PenEditor::moveRight);
    m_remove = editButton(u"edit.remove"_s, bar, &PenEditor::removeSelected);
    m_done = editButton(u"edit.done"_s, bar, &PenEditor::done);
    m_undo = editButton(u"edit.undo"_s, bar, &PenEditor::undo);
    m_clear = editButton(u"edit.clear"_s, bar, &PenEditor::clear);
    row->addStretch(1);
    return bar;
}

QWidget* ContentView::buildTools() {
    auto* tools = new ToolsArea(this);
    tools->setObjectName(u"ts.tools"_s);
    auto* row = new QHBoxLayout(tools);
    row->setContentsMargins(16, 22, 16, 14);
    row->setSpacing(12);
    m_wallpaper = new CandyButton(L(u"tools.wallpaper"_s), tools);
    m_wallpaper->setAccessibleName(L(u"tools.wallpaper"_s));
    m_wallpaper->setEnabled(false);
    m_save = new CandyButton(L(u"tools.save"_s), tools);
    m_save->setAccessibleName(L(u"tools.save"_s));
    row->addStretch(1);
    row->addWidget(m_wallpaper);
    row->addWidget(m_save);
    row->addStretch(1);
    connect(m_wallpaper, &QAbstractButton::clicked, this,
            [this] { openSheet(Sheet::wallpaper); });
    connect(m_save, &QAbstractButton::clicked, &m_editor, &PenEditor::saveToCase);
    return tools;
}

void ContentView::setSheet(Sheet sheet, const QString& titleKey, SheetFactory factory) {
    m_sheets.insert(sheet, {titleKey, std::move(factory)});
    if (sheet == Sheet::wallpaper)
        m_wallpaper->setEnabled(true);
    else
        m_sheetButtons.value(sheet)->setEnabled(true);
}

void ContentView::openSheet(Sheet sheet) {
    // One sheet at a time, as over any window.
    if (m_sheet || !m_sheets.contains(sheet))
        return;
    const SheetEntry& entry = m_sheets[sheet];
    auto* dialog = new QDialog(window());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setWindowTitle(L(entry.titleKey));
    QPointer<QDialog> guard(dialog);
    QWidget* content = entry.factory([guard] {
        if (guard)
            guard->accept();
    });
    auto* nav = new Nav(L(entry.titleKey), true, content, dialog);
    auto* frame = new QVBoxLayout(dialog);
    frame->setContentsMargins(0, 0, 0, 0);
    frame->addWidget(nav);
    // The sheet outlives this view when the language rebuilds it, so it
    // follows the language itself.
    if (const LanguageManager* languages = LanguageManager::shared())
        connect(languages, &LanguageManager::codeChanged, nav,
                [nav, dialog, key = entry.titleKey] {
                    nav->setTitle(L(key));
                    dialog->setWindowTitle(L(key));
                });
    m_sheet = dialog;
    dialog->open();
}

void ContentView::storeChanged() {
    const qsizetype beads = m_store.pen().beads.size();
    m_status->setText(m_editor.statusText());
    m_tray->setDimmed(beads >= maximumBeads);
    m_sheetButtons[Sheet::quotes]->setCount(m_store.quotes().size());
    m_sheetButtons[Sheet::drawings]->setCount(m_store.drawings().size());
    editorChanged();
}

void ContentView::editorChanged() {
    const bool selection = m_editor.hasSelection();
    for (GhostButton* button : {m_left, m_right, m_remove, m_done})
        button->setVisible(selection);
    for (GhostButton* button : {m_undo, m_clear})
        button->setVisible(!selection);
    m_left->setEnabled(m_editor.canMoveLeft());
    m_right->setEnabled(m_editor.canMoveRight());
    m_undo->setEnabled(m_editor.canUndo());
    const bool armed = m_editor.clearArmed();
    const QString clearText = L(armed ? u"edit.clearConfirm"_s : u"edit.clear"_s);
    m_clear->setText(clearText);
    m_clear->setAccessibleName(clearText);
    m_clear->setDanger(armed);
}

void ContentView::applyLook() {
    const InterfacePalette& palette = interfacePalette();
    setTextColour(m_title, interfaceColour(palette.textMain));
    static_cast<Tagline*>(m_tagline)->setColour(interfaceColour(palette.textMain, 0.7));
    setTextColour(m_status, interfaceColour(palette.textSoft));
    // A slim bar in the interface's own colours, not the style's grey trough.
    m_lower->verticalScrollBar()->setStyleSheet(
        u"QScrollBar:vertical { width: 10px; background: transparent; margin: 2px; }"
        "QScrollBar::handle:vertical { background: %1; border-radius: 3px; min-height: 32px; }"
        "QScrollBar::add-line, QScrollBar::sub-line { height: 0; }"
        "QScrollBar::add-page, QScrollBar::sub-page { background: transparent; }"_s.arg(
            interfaceColour(palette.textSoft, 0.45).name(QColor::HexArgb)));
    update();
}

void ContentView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), interfaceColour(interfacePalette().background));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(interfaceColour(interfacePalette().accent));
    painter.drawEllipse(QRectF(m_mark->mapTo(this, QPoint(0, 0)), QSizeF(m_mark->size())));
}

void ContentView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_tagline->setVisible(width() >= taglineMinimumWidth);
    placeTools();
}

void ContentView::placeTools() {
    const int height = m_tools->sizeHint().height();
    // The panel's scroll bar stays reachable beside the tools.
    const QScrollBar* bar = m_lower->verticalScrollBar();
    const int barWidth = bar->isVisible() ? bar->width() : 0;
    m_tools->setGeometry(0, this->height() - height, width() - barWidth, height);
    // The toast shows above the tools, never over them.
    m_toasts->view()->setBottomInset(height - 20);
    // The panel's last row can scroll clear of the tools.
    m_spacer->setFixedHeight(height + 12);
}

bool ContentView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_lower->verticalScrollBar()
        && (event->type() == QEvent::Show || event->type() == QEvent::Hide))
        placeTools();
    return QWidget::eventFilter(watched, event);
}

void ContentView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    placeTools();
    if (!m_shown) {
        m_shown = true;
        m_editor.screenShown();
    }
}

} // namespace tessaro
