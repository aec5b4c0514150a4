#pragma once

#include <QPlainTextEdit>

namespace tessaro {

// A multi-line plain-text editor bound to a text value: `text` follows every
// edit, and setting it from outside replaces what the editor shows. It draws
// no background of its own, sets its text in the interface's primary text
// colour and scrolls vertically.
class TSTextEditor final : public QPlainTextEdit {
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText NOTIFY textChanged)

public:
    explicit TSTextEditor(QWidget* parent = nullptr);

    QString text() const { return toPlainText(); }
    // Replaces the text and puts the cursor at its end; the same text changes
    // nothing, so the cursor stays where the user left it.
    void setText(const QString& text);

    // The interface font's size in logical pixels.
    void setFontSize(int pixels);

private:
    void applyColours();
};

} // namespace tessaro
