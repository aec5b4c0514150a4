#include "traymenu.h"

#include "keeper.h"
#include "l10n/languagemanager.h"
#include "l10n/localization.h"
#include "quotes/keeplink.h"
#include "render/penpainter.h"
#include "store/penstore.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QSystemTrayIcon>
#include <QWidgetAction>

#include <cmath>
#include <numbers>

namespace tessaro {

using namespace Qt::StringLiterals;

namespace {

constexpr QSizeF previewPoints{360, 68};
constexpr double previewScale = 2;
constexpr QSize previewFrame{180, 34};
constexpr int menuQuotes = 5;

// The tray's symbol where the icon theme has no Tessaro icon: a ring of
// six hexagons round a seventh, like beads seen end on.
QIcon drawnTrayIcon() {
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64}) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        const double unit = size / 7.0;
        auto hexagon = [unit](QPointF centre) {
            QPainterPath path;
            for (int corner = 0; corner < 6; ++corner) {
                const double angle = std::numbers::pi / 3 * corner + std::numbers::pi / 6;
                const QPointF point = centre + QPointF(std::cos(angle), std::sin(angle)) * unit;
                corner == 0 ? path.moveTo(point) : path.lineTo(point);
            }
            path.closeSubpath();
            return path;
        };
        const QPointF middle(size / 2.0, size / 2.0);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0xF4, 0xA0, 0xB9));
        for (int ring = 0; ring < 6; ++ring) {
            const double angle = std::numbers::pi / 3 * ring;
            painter.drawPath(hexagon(middle + QPointF(std::cos(angle), std::sin(angle)) * unit * 2.05));
        }
        painter.setBrush(QColor(0x8E, 0x6B, 0xC9));
        painter.drawPath(hexagon(middle));
        painter.end();
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

// A menu row's text: "&" would otherwise underline the letter after it.
QString rowText(const QString& text) {
    QString escaped = text;
    escaped.replace(u'&', u"&&"_s);
    return escaped;
}

} // namespace

QImage menuPreview(const Pen& pen) {
    const QSize pixels = (previewPoints * previewScale).toSize();
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return {};
    image.setDevicePixelRatio(previewScale);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    paintPenArtwork(painter, previewPoints, pen, false, -std::numbers::pi / 30, false,
                    previewScale);
    return image;
}

TrayMenu::TrayMenu(PenStore& store, Keeper& keeper, Rows rows, QObject* parent)
    : QObject(parent)
    , m_store(store)
    , m_keeper(keeper)
    , m_rows(rows)
    , m_menu(std::make_unique<QMenu>()) {
    m_icon = new QSystemTrayIcon(QIcon::fromTheme(u"app.tessaro.Tessaro"_s, drawnTrayIcon()), this);
    m_icon->setToolTip(u"Tessaro"_s);
    m_icon->setContextMenu(m_menu.get());
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason why) {
        if (why == QSystemTrayIcon::Trigger)
            m_keeper.bringToFront(false);
    });
    connect(&m_store, &PenStore::changed, this, [this](PenStore::Changes what) {
        if (what & PenStore::Change::pen)
            m_preview.reset();
        if (what & (PenStore::Change::pen | PenStore::Change::quotes))
            rebuild();
    });
    if (const LanguageManager* languages = LanguageManager::shared())
        connect(languages, &LanguageManager::codeChanged, this, &TrayMenu::rebuild);
    rebuild();
    m_icon->show();
}

TrayMenu::~TrayMenu() = default;

TrayMenu::Rows TrayMenu::desktopRows() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QString watcher = u"org.kde.StatusNotifierWatcher"_s;
    if (!bus.isConnected() || !bus.interface() || !bus.interface()->isServiceRegistered(watcher))
        return Rows::drawn;
    // One property read with a short wait: this runs while Tessaro starts.
    QDBusMessage get = QDBusMessage::createMethodCall(
        watcher, u"/StatusNotifierWatcher"_s, u"org.freedesktop.DBus.Properties"_s, u"Get"_s);
    get << watcher << u"IsStatusNotifierHostRegistered"_s;
    const QDBusMessage reply = bus.call(get, QDBus::Block, 500);
    const bool host = reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()
                      && reply.arguments().first().value<QDBusVariant>().variant().toBool();
    return host ? Rows::textAndIcons : Rows::drawn;
}

void TrayMenu::rebuild() {
    if (!m_preview)
        m_preview = menuPreview(m_store.pen());
    m_menu->clear();
    if (!m_preview->isNull()) {
        QPixmap preview = QPixmap::fromImage(*m_preview);
        if (m_rows == Rows::drawn) {
            // Shown in a frame half its size, for a sharp picture at 2×.
            preview.setDevicePixelRatio(preview.width() / double(previewFrame.width()));
            auto* row = new QWidgetAction(m_menu.get());
            auto* picture = new QLabel;
            picture->setPixmap(preview);
            // Room above and below, so the beads do not touch the menu's edge.
            picture->setFixedSize(previewFrame + QSize(16, 14));
            picture->setAlignment(Qt::AlignCenter);
            picture->setAccessibleName(L(u"mac.menubar.open"_s));
            row->setDefaultWidget(picture);
            m_menu->addAction(row);
        } else {
            QAction* row = m_menu->addAction(QIcon(preview), QString());
            connect(row, &QAction::triggered, this, [this] { m_keeper.bringToFront(false); });
        }
        m_menu->addSeparator();
    }
    const QList<Quote>& quotes = m_store.quotes();
    if (quotes.isEmpty()) {
        m_menu->addAction(rowText(L(u"quotes.phoneEmpty"_s)))->setEnabled(false);
    } else {
        for (qsizetype i = 0; i < std::min<qsizetype>(menuQuotes, quotes.size()); ++i) {
            QAction* row = m_menu->addAction(rowText(menuTitle(quotes.at(i).text)));
            row->setData(quotes.at(i).id);
            connect(row, &QAction::triggered, this, [this] { m_keeper.bringToFront(true); });
        }
    }
    m_menu->addSeparator();
    connect(m_menu->addAction(rowText(L(u"mac.menubar.open"_s))), &QAction::triggered, this,
            [this] { m_keeper.bringToFront(false); });
    connect(m_menu->addAction(rowText(L(u"linux.menu.quit"_s))), &QAction::triggered, this,
            &TrayMenu::quitRequested);
}

void TrayMenu::notify(const QString& title, const QString& text) {
    if (m_icon->isVisible() && QSystemTrayIcon::supportsMessages())
        m_icon->showMessage(title, text, m_icon->icon(), 2400);
}

} // namespace tessaro
