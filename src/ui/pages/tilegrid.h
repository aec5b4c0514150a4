#pragma once

#include <QWidget>

namespace tessaro {

// Lays its child widgets out in rows of adaptive columns, as many as fit at
// 190 wide, each column as wide as the room allows but no wider than 260,
// 14 apart, the rows left aligned. Its height follows its width.
class TileGrid final : public QWidget {
    Q_OBJECT

public:
    static constexpr int minColumn = 190;
    static constexpr int maxColumn = 260;
    static constexpr int spacing = 14;

    explicit TileGrid(QWidget* parent = nullptr);

    void setTiles(const QList<QWidget*>& tiles, int tileHeight);
    // The columns and their width at `width`.
    static int columnsFor(int width);
    static int columnWidth(int width);

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void place();

    QList<QWidget*> m_tiles;
    int m_tileHeight = 0;
};

} // namespace tessaro
