#pragma once

#include <QWidget>

class QLabel;

namespace tessaro {

class PlainButton;

// The frame of a sheet: a title bar with an optional close button above the
// sheet's content, on the interface background, at least 720 × 560. Sheets
// are window-modal dialogs; the close button rejects the dialog the frame
// sits in.
class Nav final : public QWidget {
    Q_OBJECT

public:
    Nav(const QString& title, bool showsClose, QWidget* content, QWidget* parent = nullptr);

    QString title() const;
    // An empty title hides the whole bar.
    void setTitle(const QString& title);
    QWidget* content() const { return m_content; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void dismiss();
    void applyColours();

    QWidget* m_bar;
    QLabel* m_title;
    PlainButton* m_close = nullptr;
    QWidget* m_content;
};

} // namespace tessaro
