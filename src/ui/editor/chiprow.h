#pragma once

#include <QList>
#include <QScrollArea>

class QHBoxLayout;

namespace tessaro {

class ChoiceChip;

// A horizontal row of chips that scrolls when it is wider than its place.
// It is as high as its chips, plus the scroll bar while one is needed; the
// wheel's vertical turns pass on to the page around it.
class ChipRow final : public QScrollArea {
    Q_OBJECT

public:
    explicit ChipRow(QWidget* parent = nullptr);

    void addChip(ChoiceChip* chip);
    // Removes and deletes every chip.
    void clear();
    const QList<ChoiceChip*>& chips() const { return m_chips; }
    // Checks the chip of `value` and unchecks every other one.
    void select(const QString& value);
    ChoiceChip* chip(const QString& value) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Whether the chips are wider than the row, which then shows its bar.
    void updateScrolls();
    void applyLook();

    QWidget* m_content;
    QHBoxLayout* m_layout;
    QList<ChoiceChip*> m_chips;
    bool m_scrolls = false;
};

} // namespace tessaro
