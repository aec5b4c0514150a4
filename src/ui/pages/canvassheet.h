#pragma once

#include "canvasservices.h"

#include <QWidget>

#include <optional>

class QLabel;
class QScrollArea;
class QStackedLayout;

namespace tessaro {

class PageTile;
class PageView;
class PenStore;
class TileGrid;

// The drawing pages, as the content of a sheet: a grid of tiles, newest
// first, or an empty state when there are none, each with a line saying that
// pages come through the cloud folder when it is not there. A tile opens its
// page in the page view; a tile's delete button asks for a second press
// before the page and its files go.
class CanvasSheet final : public QWidget {
    Q_OBJECT

public:
    CanvasSheet(PenStore& store, const CanvasServices& services, QWidget* parent = nullptr);

    // The tile whose delete button waits for its second press.
    std::optional<QString> armedDelete() const { return m_armed; }
    // The page shown, if any; none while the grid shows.
    std::optional<QString> openID() const;

    QList<PageTile*> tiles() const { return m_tiles; }
    bool showsEmptyState() const;
    bool showsCloudHint() const;
    PageView* pageView() const { return m_page; }

    void openPage(const QString& id);
    void showGrid();
    void retranslate();

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void showDrawings();
    void pressDelete(PageTile* tile);
    void applyLook();

    PenStore& m_store;
    CanvasServices m_services;
    QStackedLayout* m_pages;
    QWidget* m_empty;
    QLabel* m_emptyText;
    QLabel* m_emptyCloud;
    QScrollArea* m_list;
    QLabel* m_hint;
    QLabel* m_listCloud;
    TileGrid* m_grid;
    QList<PageTile*> m_tiles;
    PageView* m_page;
    std::optional<QString> m_armed;
};

// The canvas sheet's content, for the window's sheet frame.
QWidget* makeCanvasSheet(PenStore& store, const CanvasServices& services);

} // namespace tessaro
