#include "tilegrid.h"

namespace tessaro {

TileGrid::TileGrid(QWidget* parent)
    : QWidget(parent) {
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void TileGrid::setTiles(const QList<QWidget*>& tiles, int tileHeight) {
    m_tiles = tiles;
    m_tileHeight = tileHeight;
    for (QWidget* tile : m_tiles)
        tile->setParent(this);
    updateGeometry();
    place();
}

int TileGrid::columnsFor(int width) {
    return std::max(1, (width + spacing) / (minColumn + spacing));
}

int TileGrid::columnWidth(int width) {
    const int columns = columnsFor(width);
    return std::clamp((width - spacing * (columns - 1)) / columns, 1, maxColumn);
}

int TileGrid::heightForWidth(int width) const {
    if (m_tiles.isEmpty())
        return 0;
    const int rows = int((m_tiles.size() + columnsFor(width) - 1) / columnsFor(width));
    return rows * m_tileHeight + (rows - 1) * spacing;
}

QSize TileGrid::sizeHint() const {
    return {2 * minColumn + spacing, heightForWidth(2 * minColumn + spacing)};
}

QSize TileGrid::minimumSizeHint() const {
    return {minColumn, 0};
}

void TileGrid::resizeEvent(QResizeEvent*) {
    place();
}

void TileGrid::place() {
    const int columns = columnsFor(width());
    const int column = columnWidth(width());
    for (qsizetype i = 0; i < m_tiles.size(); ++i) {
        const int row = int(i / columns);
        const int col = int(i % columns);
        m_tiles[i]->setGeometry(col * (column + spacing), row * (m_tileHeight + spacing), column,
                                m_tileHeight);
        m_tiles[i]->show();
    }
}

} // namespace tessaro
