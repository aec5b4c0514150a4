#include "widgetwindow.h"

#include "drawingthumbnail.h"
#include "snapshotwatcher.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyleHints>
#include <QTimer>
#include <QWindow>

#include <cmath>

namespace tessaro {

using namespace Qt::StringLiterals;

namespace {

// Room between a new card and the screen's edges.
constexpr int screenGap = 24;
// A move is remembered once the card has stood still this long.
constexpr int positionSaveMs = 500;

} // namespace

bool desktopIsDark() {
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
    const Qt::ColorScheme scheme = QGuiApplication::styleHints()->colorScheme();
    if (scheme != Qt::ColorScheme::Unknown)
        return scheme == Qt::ColorScheme::Dark;
#endif
    return QGuiApplication::palette().color(QPalette::Window).lightness() < 128;
}

WidgetWindow::WidgetWindow(Services services, QWidget* parent)
    : QWidget(parent)
    , m_services(std::move(services))
    , m_watcher(new SnapshotWatcher(m_services.groupFile, this))
    , m_settings(m_services.settingsFile, QSettings::IniFormat)
    , m_menu(new QMenu(this))
    , m_positionSave(new QTimer(this))
    , m_fonts(CardFonts::fromDesktop())
    , m_dark(desktopIsDark()) {
    // On the desktop, under every window, and not in the task bar.
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnBottomHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setWindowTitle(u"Tessaro"_s);

    QAction* open = m_menu->addAction(u"Open Tessaro"_s, this, &WidgetWindow::openTessaro);
    open->setEnabled(bool(m_services.openTessaro));
    m_menu->addSeparator();
    m_menu->addAction(u"Close"_s, this, &QWidget::close);

    m_positionSave->setObjectName(u"positionSave"_s);
    m_positionSave->setSingleShot(true);
    m_positionSave->setInterval(positionSaveMs);
    connect(m_positionSave, &QTimer::timeout, this, &WidgetWindow::savePosition);
    connect(m_watcher, &SnapshotWatcher::snapshotChanged, this, &WidgetWindow::refresh);
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
    connect(QGuiApplication::styleHints(), &QStyleHints::colorSchemeChanged, this, [this] {
        m_dark = desktopIsDark();
        update();
    });
#endif
    refresh();
    placeOnScreen();
}

WidgetWindow::~WidgetWindow() {
    if (m_positionSave->isActive())
        savePosition();
}

const PenSnapshot& WidgetWindow::snapshot() const {
    return m_watcher->snapshot();
}

void WidgetWindow::refresh() {
    const PenSnapshot& snapshot = m_watcher->snapshot();
    // A drawing is decoded once, when it changes, not at every repaint.
    if (snapshot.drawingPNG != m_drawingPNG) {
        m_drawingPNG = snapshot.drawingPNG;
        m_drawing = m_drawingPNG ? decodeDrawingThumbnail(*m_drawingPNG) : QImage();
    }
    relayOut();
}

void WidgetWindow::relayOut() {
    m_card = layOutCard(m_watcher->snapshot(), m_drawing.size(), m_fonts);
    m_scaledDrawing = {};
    setFixedSize(int(std::ceil(m_card.size.width())), int(std::ceil(m_card.size.height())));
    update();
}

void WidgetWindow::placeOnScreen() {
    const QPoint saved = m_settings.value(positionKey).toPoint();
    if (m_settings.contains(positionKey) &&
        QGuiApplication::screenAt(QRect(saved, size()).center())) {
        move(saved);
        return;
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect free = screen->availableGeometry();
        move(free.right() - width() - screenGap, free.top() + screenGap);
    }
}

void WidgetWindow::savePosition() {
    m_positionSave->stop();
    m_settings.setValue(positionKey, pos());
    m_settings.sync();
}

void WidgetWindow::openTessaro() {
    if (m_services.openTessaro)
        m_services.openTessaro();
}

void WidgetWindow::paintEvent(QPaintEvent*) {
    const double ratio = devicePixelRatioF();
    if (m_scaledDrawing.isNull() != m_drawing.isNull() ||
        (!m_scaledDrawing.isNull() && m_scaledDrawing.devicePixelRatio() != ratio))
        m_scaledDrawing = scaledDrawing(m_drawing, m_card, ratio);
    QPainter painter(this);
    paintCard(painter, m_card, m_watcher->snapshot(), m_scaledDrawing, m_fonts, m_dark, ratio);
}

void WidgetWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    m_pressAt = event->globalPosition();
    m_pressPos = pos();
    m_dragging = false;
    m_moved = false;
}

void WidgetWindow::mouseMoveEvent(QMouseEvent* event) {
    if (!m_pressAt || !(event->buttons() & Qt::LeftButton))
        return QWidget::mouseMoveEvent(event);
    const QPointF travelled = event->globalPosition() - *m_pressAt;
    if (!m_dragging) {
        if (travelled.manhattanLength() < QApplication::startDragDistance())
            return;
        m_dragging = true;
        m_moved = true;
        // The window manager moves the card more smoothly, and on Wayland it
        // alone can; where it will not, the card follows the pointer itself.
        if (windowHandle() && windowHandle()->startSystemMove()) {
            m_pressAt.reset();
            return;
        }
    }
    move(m_pressPos + travelled.toPoint());
}

void WidgetWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QWidget::mouseReleaseEvent(event);
    if (m_dragging)
        savePosition();
    m_pressAt.reset();
    m_dragging = false;
}

void WidgetWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        openTessaro();
}

void WidgetWindow::contextMenuEvent(QContextMenuEvent* event) {
    m_menu->popup(event->globalPos());
}

void WidgetWindow::moveEvent(QMoveEvent* event) {
    // A move the window manager carries out ends without a release here.
    if (m_moved && !m_pressAt)
        m_positionSave->start();
    QWidget::moveEvent(event);
}

void WidgetWindow::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    Q_EMIT closed();
}

void WidgetWindow::changeEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::PaletteChange:
    case QEvent::ApplicationPaletteChange:
    case QEvent::ThemeChange:
        if (const bool dark = desktopIsDark(); dark != m_dark) {
            m_dark = dark;
            update();
        }
        break;
    case QEvent::FontChange:
    case QEvent::ApplicationFontChange:
        m_fonts = CardFonts::fromDesktop();
        relayOut();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

} // namespace tessaro
