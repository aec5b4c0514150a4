#pragma once

#include <QWidget>

class QLineEdit;

namespace tessaro {

class CandyButton;
class GhostButton;
class TSTextEditor;

// Where a new quote is written: the draft, its optional source, and the
// paste and keep buttons, on a rounded card. Keep is available only while
// the draft holds more than white space; Ctrl+Return keeps too, as does
// Return in the source field. What paste and keep do is the sheet's.
class QuoteComposer final : public QWidget {
    Q_OBJECT

public:
    explicit QuoteComposer(QWidget* parent = nullptr);

    QString draft() const;
    void setDraft(const QString& draft);
    QString draftSource() const;
    // Empties the draft and its source and takes the keyboard focus away.
    void clear();

    TSTextEditor* editor() const { return m_editor; }
    QLineEdit* sourceField() const { return m_source; }
    GhostButton* pasteButton() const { return m_paste; }
    CandyButton* keepButton() const { return m_keep; }

    void retranslate();
    void applyLook();

Q_SIGNALS:
    void pasteRequested();
    void keepRequested();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void requestKeep();

    TSTextEditor* m_editor;
    QLineEdit* m_source;
    GhostButton* m_paste;
    CandyButton* m_keep;
};

} // namespace tessaro
