#pragma once

#include <QAbstractButton>
#include <QIcon>
#include <QPointer>

#include <functional>
#include <utility>

#include <QMenu>

namespace tessaro {

// A button that shows the current choice with a chevron beside it and, on a
// press, a menu of every choice with the current one ticked. The choices are
// asked for each time the menu opens, so their labels follow the language.
class ChoiceMenuButton final : public QAbstractButton {
    Q_OBJECT

public:
    // Value and label.
    using Option = std::pair<QString, QString>;

    explicit ChoiceMenuButton(QWidget* parent = nullptr);

    void setOptions(std::function<QList<Option>()> options) { m_options = std::move(options); }
    // The value whose label the button shows and whose row the menu ticks;
    // a value that no row has ticks none and shows itself.
    void setCurrent(const QString& value);
    QString current() const { return m_current; }

    // The menu while it is open.
    QMenu* menu() const { return m_menu; }

    QSize sizeHint() const override;

Q_SIGNALS:
    void chosen(const QString& value);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void openMenu();
    QString label() const;

    std::function<QList<Option>()> m_options;
    QString m_current;
    QPointer<QMenu> m_menu;
    QIcon m_chevrons;
};

} // namespace tessaro
