#include "tstexteditor.h"

#include "interfacecolours.h"
#include "interfacefont.h"

namespace tessaro {

TSTextEditor::TSTextEditor(QWidget* parent)
    : QPlainTextEdit(parent) {
    setFrameShape(QFrame::NoFrame);
    setBackgroundVisible(false);
    viewport()->setAutoFillBackground(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setUndoRedoEnabled(true);
    // 1 point of inset and 4 of line padding at the sides, 8 above and below.
    document()->setDocumentMargin(4);
    setViewportMargins(1, 4, 1, 4);
    setFontSize(13);
    applyColours();
    new AppearanceWatch(this, [this] { applyColours(); });
}

void TSTextEditor::setText(const QString& text) {
    if (text == toPlainText())
        return;
    setPlainText(text);
    moveCursor(QTextCursor::End);
}

void TSTextEditor::setFontSize(int pixels) {
    setFont(interfaceFont(pixels, QFont::Normal));
}

void TSTextEditor::applyColours() {
    QPalette colours = palette();
    const QColor text = interfaceColour(interfacePalette().textMain);
    colours.setColor(QPalette::Text, text);
    colours.setColor(QPalette::PlaceholderText, interfaceColour(interfacePalette().textSoft));
    colours.setColor(QPalette::Base, Qt::transparent);
    setPalette(colours);
}

} // namespace tessaro
