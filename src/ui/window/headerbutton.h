#pragma once

#include <QAbstractButton>
#include <QIcon>

#include <optional>

namespace tessaro {

class AppearanceWatch;

// A button of the window's header: an optional symbol, a label and, when
// given, a count in a small capsule beside it. Flat, like the header it sits
// in; it darkens while pressed and shows a ring while it has keyboard focus.
class HeaderButton final : public QAbstractButton {
    Q_OBJECT

public:
    explicit HeaderButton(QWidget* parent = nullptr);

    void setSymbol(const QIcon& symbol);
    // None hides the count.
    void setCount(std::optional<qsizetype> count);
    std::optional<qsizetype> count() const { return m_count; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    QString countText() const;

    QIcon m_symbol;
    std::optional<qsizetype> m_count;
    bool m_focusRing = false;
};

// The header's symbols: the icon theme's where the desktop has one, drawn
// in the label's colour otherwise, so that neither is ever blank.
QIcon drawingsSymbol();
QIcon settingsSymbol();

} // namespace tessaro
