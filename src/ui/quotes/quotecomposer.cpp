#include "quotecomposer.h"

#include "l10n/localization.h"
#include "ui/common/candybutton.h"
#include "ui/common/ghostbutton.h"
#include "ui/common/interfacecolours.h"
#include "ui/common/interfacefont.h"
#include "ui/common/tstexteditor.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>
#include <QShortcut>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tessaro {

namespace {

constexpr int padding = 14;
constexpr double radius = 24;
constexpr double outline = 2;
constexpr int editorHeight = 110;

QString cssColour(const QColor& colour) {
    return u"rgba(%1, %2, %3, %4)"_s.arg(colour.red())
        .arg(colour.green())
        .arg(colour.blue())
        .arg(colour.alphaF());
}

} // namespace

QuoteComposer::QuoteComposer(QWidget* parent)
    : QWidget(parent)
    , m_editor(new TSTextEditor)
    , m_source(new QLineEdit)
    , m_paste(new GhostButton)
    , m_keep(new CandyButton) {
    m_editor->setFontSize(15);
    m_editor->setFixedHeight(editorHeight);
    m_editor->setTabChangesFocus(true);
    m_source->setFont(interfaceFont(14, QFont::Normal));
    m_source->setClearButtonEnabled(true);
    m_keep->setCompact(true);
    m_keep->setEnabled(false);

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(10);
    buttons->addWidget(m_paste);
    buttons->addStretch(1);
    buttons->addWidget(m_keep);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(padding, padding, padding, padding);
    column->setSpacing(10);
    column->addWidget(m_editor);
    column->addWidget(m_source);
    column->addLayout(buttons);

    connect(m_editor, &QPlainTextEdit::textChanged, this,
            [this] { m_keep->setEnabled(!draft().trimmed().isEmpty()); });
    connect(m_paste, &QAbstractButton::clicked, this, &QuoteComposer::pasteRequested);
    connect(m_keep, &QAbstractButton::clicked, this, &QuoteComposer::keepRequested);
    connect(m_source, &QLineEdit::returnPressed, this, &QuoteComposer::requestKeep);
    for (const QKeySequence& keys : {QKeySequence(Qt::CTRL | Qt::Key_Return),
                                    QKeySequence(Qt::CTRL | Qt::Key_Enter)}) {
        auto* shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, &QuoteComposer::requestKeep);
    }
    retranslate();
    applyLook();
}

QString QuoteComposer::draft() const {
    return m_editor->text();
}

void QuoteComposer::setDraft(const QString& draft) {
    m_editor->setText(draft);
}

QString QuoteComposer::draftSource() const {
    return m_source->text();
}

void QuoteComposer::clear() {
    m_editor->setText(QString());
    m_source->clear();
    for (QWidget* field : {static_cast<QWidget*>(m_editor), static_cast<QWidget*>(m_source)})
        if (field->hasFocus())
            field->clearFocus();
}

void QuoteComposer::requestKeep() {
    if (m_keep->isEnabled())
        Q_EMIT keepRequested();
}

void QuoteComposer::retranslate() {
    m_editor->setPlaceholderText(L(u"quotes.placeholder"_s));
    m_source->setPlaceholderText(L(u"quotes.source"_s));
    m_paste->setText(L(u"ios.quotes.paste"_s));
    m_keep->setText(L(u"quotes.keep"_s));
}

void QuoteComposer::applyLook() {
    const InterfacePalette& palette = interfacePalette();
    m_source->setStyleSheet(
        u"QLineEdit { border: 1px solid %1; border-radius: 12px; padding: 5px 10px;"
        " background: %2; color: %3; selection-background-color: %4; }"_s
            .arg(cssColour(interfaceColour(palette.line)),
                 cssColour(interfaceColour(palette.background)),
                 cssColour(interfaceColour(palette.textMain)),
                 cssColour(interfaceColour(palette.accent, 0.5))));
    QPalette colours = m_source->palette();
    colours.setColor(QPalette::PlaceholderText, interfaceColour(palette.textSoft));
    m_source->setPalette(colours);
    update();
}

void QuoteComposer::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const InterfacePalette& palette = interfacePalette();
    painter.setPen(QPen(interfaceColour(palette.line), outline));
    painter.setBrush(interfaceColour(palette.surface));
    const double inset = outline / 2;
    painter.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), radius, radius);
}

} // namespace tessaro
