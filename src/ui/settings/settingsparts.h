#pragma once

#include <QAbstractButton>
#include <QIcon>
#include <QWidget>

class QLabel;
class QVBoxLayout;

namespace tessaro {

// A rounded card on the surface colour with a hairline outline; its rows go
// into `rows()`.
class SettingsCard final : public QWidget {
    Q_OBJECT

public:
    explicit SettingsCard(QWidget* parent = nullptr);
    QVBoxLayout* rows() const { return m_rows; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QVBoxLayout* m_rows;
};

// A symbol in the colour of the text beside it.
class SymbolView final : public QWidget {
    Q_OBJECT

public:
    explicit SymbolView(const QIcon& symbol, int size, QWidget* parent = nullptr);
    void setSymbol(const QIcon& symbol);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QIcon m_symbol;
};

// A plain row that acts: a symbol and a label across the card's width.
class SupportRow final : public QAbstractButton {
    Q_OBJECT

public:
    SupportRow(const QIcon& symbol, QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QIcon m_symbol;
};

// A thin line between rows, in the line colour.
class RowSeparator final : public QWidget {
    Q_OBJECT

public:
    explicit RowSeparator(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A label in the interface font at `size`, wrapping, in the secondary text
// colour when `soft`; its colour follows the appearance.
QLabel* settingsLabel(int size, bool soft, QWidget* parent = nullptr);

} // namespace tessaro
