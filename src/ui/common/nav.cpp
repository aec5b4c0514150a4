#include "nav.h"

#include "interfacecolours.h"
#include "interfacefont.h"
#include "l10n/languagemanager.h"
#include "l10n/localization.h"
#include "plainbutton.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace tessaro {

using namespace Qt::StringLiterals;

Nav::Nav(const QString& title, bool showsClose, QWidget* content, QWidget* parent)
    : QWidget(parent)
    , m_bar(new QWidget(this))
    , m_title(new QLabel(m_bar))
    , m_content(content) {
    setMinimumSize(720, 560);
    m_title->setFont(interfaceFont(15, QFont::Bold));
    m_title->setTextFormat(Qt::PlainText);
    auto* bar = new QHBoxLayout(m_bar);
    bar->setContentsMargins(16, 10, 16, 10);
    bar->addWidget(m_title, 1);
    if (showsClose) {
        m_close = new PlainButton(L(u"common.close"_s), m_bar);
        connect(m_close, &QAbstractButton::clicked, this, &Nav::dismiss);
        bar->addWidget(m_close);
        if (const LanguageManager* languages = LanguageManager::shared())
            connect(languages, &LanguageManager::codeChanged, m_close,
                    [this] { m_close->setText(L(u"common.close"_s)); });
    }
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(m_bar);
    if (m_content)
        column->addWidget(m_content, 1);
    else
        column->addStretch(1);
    setTitle(title);
    applyColours();
    new AppearanceWatch(this, [this] {
        applyColours();
        update();
    });
}

QString Nav::title() const {
    return m_title->text();
}

void Nav::setTitle(const QString& title) {
    m_title->setText(title);
    m_bar->setVisible(!title.isEmpty());
}

void Nav::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const InterfacePalette& palette = interfacePalette();
    painter.fillRect(rect(), interfaceColour(palette.background));
    if (!m_bar->isHidden()) {
        const QRect bar = m_bar->geometry();
        painter.fillRect(QRect(bar.left(), bar.bottom(), bar.width(), 1),
                         interfaceColour(palette.line));
    }
}

void Nav::dismiss() {
    if (auto* dialog = qobject_cast<QDialog*>(window()))
        dialog->reject();
    else
        window()->close();
}

void Nav::applyColours() {
    QPalette colours = m_title->palette();
    colours.setColor(QPalette::WindowText, interfaceColour(interfacePalette().textMain));
    m_title->setPalette(colours);
}

} // namespace tessaro
