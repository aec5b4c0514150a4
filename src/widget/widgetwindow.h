#pragma once

#include "snapshotcard.h"

#include <QImage>
#include <QPointF>
#include <QSettings>
#include <QWidget>

#include <functional>
#include <optional>

class QMenu;
class QTimer;

namespace tessaro {

class SnapshotWatcher;

// The widget program's one window: a frameless card that sits on the desktop
// below every other window and shows the snapshot the program writes, redrawn
// whenever the snapshot changes. Dragged anywhere, it moves and remembers
// where it stands; its menu opens Tessaro or closes the card.
class WidgetWindow final : public QWidget {
    Q_OBJECT

public:
    struct Services {
        // The group preferences file that holds the snapshot.
        QString groupFile;
        // The widget program's own settings: where the card stands.
        QString settingsFile;
        // Starts Tessaro; empty when it cannot be found, which leaves the
        // menu's command disabled.
        std::function<bool()> openTessaro;
    };

    static inline const QString positionKey = QStringLiteral("widget.position");

    explicit WidgetWindow(Services services, QWidget* parent = nullptr);
    ~WidgetWindow() override;

    const PenSnapshot& snapshot() const;
    const SnapshotCard& card() const { return m_card; }
    bool showsDrawing() const { return !m_drawing.isNull(); }
    bool isDark() const { return m_dark; }

Q_SIGNALS:
    // The card was closed; the program ends with it.
    void closed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void refresh();
    void relayOut();
    void placeOnScreen();
    void savePosition();
    void openTessaro();

    Services m_services;
    SnapshotWatcher* m_watcher;
    QSettings m_settings;
    QMenu* m_menu;
    QTimer* m_positionSave;
    CardFonts m_fonts;
    SnapshotCard m_card;
    std::optional<QByteArray> m_drawingPNG;
    QImage m_drawing;
    // The drawing scaled for the card at the last painted pixel ratio.
    QImage m_scaledDrawing;
    bool m_dark = false;
    // Where a press began (global) and where the card stood then.
    std::optional<QPointF> m_pressAt;
    QPoint m_pressPos;
    bool m_dragging = false;
    // From the start of a drag to the next press: the card's moves are the
    // user's and are remembered.
    bool m_moved = false;
};

// Whether the desktop shows dark: its colour scheme where Qt knows it, else
// the lightness of its palette.
bool desktopIsDark();

} // namespace tessaro
