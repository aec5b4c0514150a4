#include "stageview.h"

#include "appearance/appearancemanager.h"
#include "floatingbead.h"
#include "l10n/languagemanager.h"
#include "model/catalog.h"
#include "render/charmpainter.h"
#include "render/paintcolour.h"
#include "render/penpainter.h"
#include "render/penpalette.h"
#include "render/renderpool.h"
#include "store/penstore.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPolygonF>
#include <QTimer>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <functional>

namespace tessaro {

namespace {


constexpr int widestCanvas = 700;
// About sixty frames a second while the charm swings.
constexpr int frameMs = 16;

QColor stageBackground(bool dark) {
    return toColor(interfacePalette().background.resolved(dark));
}

} // namespace

QRectF charmSwingBounds(QPointF anchor, double scale, double swingDegrees) {
    const double s = 132 * scale;
    // Around the figure's centre: the chain and ring above it, the figure,
    // and its shadow (offset, and blurred three deviations wide).
    const QRectF figure(-0.6 * s, -0.95 * s, 1.2 * s, 1.5 * s);
    const double blur = 3 * 0.125 * s;
    const QRectF shadow = figure.translated(0.05 * s, 0.12 * s).adjusted(-blur, -blur, blur, blur);
    const QRectF chain(-0.05 * s, -1.0 * s, 0.1 * s, 0.4 * s);
    const QRectF local = figure | shadow | chain;
    QTransform place;
    place.translate(anchor.x(), anchor.y() + 6 * scale);
    place.rotate(swingDegrees);
    place.translate(0, 1.02 * s);
    return place.mapRect(local);
}

StageView::StageView(PenEditor& editor, QWidget* root, QWidget* parent)
    : QWidget(parent)
    , m_editor(editor)
    , m_root(root)
    , m_frameTimer(new QTimer(this)) {
    // Every pixel is painted, so nothing is cleared first and a resize
    // never shows the background flash through.
    setAttribute(Qt::WA_OpaquePaintEvent);
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    if (m_root)
        m_floating = new FloatingBead(m_root);

    m_frameTimer->setInterval(frameMs);
    m_frameTimer->setTimerType(Qt::PreciseTimer);
    connect(m_frameTimer, &QTimer::timeout, this, &StageView::nextFrame);
    connect(&m_editor, &PenEditor::changed, this, &StageView::editorChanged);
    connect(&m_editor.store(), &PenStore::changed, this, [this](PenStore::Changes what) {
        if (what.testFlag(PenStore::Change::pen))
            penChanged();
    });
    if (AppearanceManager* appearance = AppearanceManager::shared())
        connect(appearance, &AppearanceManager::appearanceChanged, this, [this] { update(); });
    if (LanguageManager* language = LanguageManager::shared())
        connect(language, &LanguageManager::codeChanged, this,
                [this] { setAccessibleName(m_editor.statusText()); });
    setAccessibleName(m_editor.statusText());
    kickChanged();
}

StageView::~StageView() {
    delete m_floating;
}

QSize StageView::sizeHint() const {
    return {widestCanvas, heightForWidth(widestCanvas)};
}

QSize StageView::minimumSizeHint() const {
    return {200, heightForWidth(200)};
}

bool StageView::isAnimating() const {
    return m_frameTimer->isActive();
}

int StageView::heightForWidth(int width) const {
    return int(fitStage(std::min(width, widestCanvas)).height);
}

QRect StageView::canvasRect() const {
    const int w = std::min(width(), widestCanvas);
    const int h = heightForWidth(w);
    return {(width() - w) / 2, std::max(0, (height() - h) / 2), w, h};
}

QPointF StageView::toRoot(QPointF point) const {
    return m_root ? mapTo(m_root, point) : point;
}

void StageView::reportFrame() {
    const QRect canvas = canvasRect();
    m_editor.setStageFrame(QRectF(toRoot(canvas.topLeft()), canvas.size()));
}

// The frame in the root's coordinates moves with every widget in between.
void StageView::watchAncestors() {
    for (QWidget* w = parentWidget(); w && w != m_root; w = w->parentWidget())
        w->installEventFilter(this);
}

bool StageView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Move || event->type() == QEvent::Resize)
        reportFrame();
    return QWidget::eventFilter(watched, event);
}

void StageView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    reportFrame();
}

void StageView::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    reportFrame();
}

void StageView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    watchAncestors();
    reportFrame();
}

void StageView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        update();
    else if (event->type() == QEvent::ParentChange)
        watchAncestors();
}

bool StageView::isDark() const {
    if (const AppearanceManager* appearance = AppearanceManager::shared())
        return appearance->isDark();
    return palette().color(QPalette::Window).lightness() < 128;
}

void StageView::penChanged() {
    setAccessibleName(m_editor.statusText());
    update();
}

void StageView::editorChanged(PenEditor::Changes what) {
    if (what.testFlag(PenEditor::Change::kick))
        kickChanged();
    if (what.testFlag(PenEditor::Change::drag))
        showFloatingBead();
    if (!(what & (PenEditor::Change::selection | PenEditor::Change::drag)))
        return;
    // A drag that moves within one slot changes nothing on the stage; one
    // that moves to another slot changes the pen from there on.
    const PictureKey key = pictureKey();
    if (key == m_pictureKey)
        return;
    if (const std::optional<QRect> band = changedBand(m_pictureKey, key))
        update(band->translated(canvasRect().topLeft()));
    else
        update();
}

std::optional<QRect> StageView::changedBand(const PictureKey& before,
                                            const PictureKey& after) const {
    PictureKey same = after;
    same.previewSlot = before.previewSlot;
    same.previewBead = before.previewBead;
    if (!(same == before) || m_picture.isNull())
        return std::nullopt;
    std::optional<int> from = before.previewSlot;
    if (!from || (after.previewSlot && *after.previewSlot < *from))
        from = after.previewSlot;
    if (!from)
        return QRect();
    // From the first bead that moves to the back end, with room for the
    // selection ring and the beads' shadows below them.
    const PenLayout layout = fitStage(after.size.width()).layout;
    const double left = slotCentre(std::max(0, *from)) - beadR - 50;
    const QPolygonF corners{layout.map({left, -110}), layout.map({penLength + 20, -110}),
                            layout.map({penLength + 20, 150}), layout.map({left, 150})};
    const QRectF band = corners.boundingRect();
    return band.toAlignedRect().adjusted(-2, -2, 2, 2) & QRect(QPoint(), after.size);
}

void StageView::showFloatingBead() {
    if (!m_floating)
        return;
    const std::optional<BeadDrag>& drag = m_editor.drag();
    const BeadSpec* bead = drag ? beadById(drag->id) : nullptr;
    if (bead)
        m_floating->follow(*bead, drag->point);
    else
        m_floating->hide();
}

void StageView::kickChanged() {
    if (m_editor.kicking()) {
        if (!m_frameTimer->isActive())
            m_frameTimer->start();
        nextFrame();
        return;
    }
    m_frameTimer->stop();
    nextFrame();
}

void StageView::nextFrame() {
    const double swing = m_editor.kickOffset(m_editor.now());
    if (swing == m_swing)
        return;
    const QRect shown = m_charmShown;
    m_swing = swing;
    update(shown | charmRect(m_swing));
}

QRect StageView::charmRect(double swing) const {
    const QRect canvas = canvasRect();
    const PenLayout layout = fitStage(canvas.width()).layout;
    const QPointF anchor = charmAnchor(layout) + canvas.topLeft();
    // Out to whole points, with room for antialiasing at any pixel ratio.
    return charmSwingBounds(anchor, layout.scale, swing).toAlignedRect().adjusted(-2, -2, 2, 2);
}

StageView::PictureKey StageView::pictureKey() const {
    const Pen& pen = m_editor.store().pen();
    PictureKey key{
        m_editor.displayedBeads(), pen.barrel,          pen.type,     pen.ink,      isDark(),
        canvasRect().size(),       devicePixelRatioF(), std::nullopt, std::nullopt, {}};
    if (m_editor.hasSelection())
        key.selected = m_editor.selected();
    const std::optional<BeadDrag>& drag = m_editor.drag();
    if (drag && drag->slot && beadById(drag->id)) {
        key.previewSlot = drag->slot;
        key.previewBead = drag->id;
    }
    return key;
}

const QImage& StageView::picture() {
    PictureKey key = pictureKey();
    if (key == m_pictureKey && !m_picture.isNull())
        return m_picture;
    // Only the part of the pen that a new drop slot moves is painted again.
    const std::optional<QRect> band = changedBand(m_pictureKey, key);
    m_pictureKey = std::move(key);
    const PictureKey& k = m_pictureKey;
    const QSize pixels(int(std::ceil(k.size.width() * k.ratio)),
                       int(std::ceil(k.size.height() * k.ratio)));
    if (m_picture.size() != pixels)
        m_picture = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    m_picture.setDevicePixelRatio(k.ratio);
    if (pixels.isEmpty() || (band && band->isEmpty()))
        return m_picture;
    const auto paint = [&] {
        QPainter painter(&m_picture);
        if (band)
            painter.setClipRect(*band);
        painter.fillRect(band ? QRectF(*band) : QRectF(QPointF(), k.size),
                         stageBackground(k.dark));

        const PenLayout layout = fitStage(k.size.width()).layout;
        DrawPenOptions options;
        for (const QString& id : k.beads) {
            if (const BeadSpec* bead = beadById(id))
                options.beads.append(*bead);
        }
        options.dark = k.dark;
        if (const BarrelSpec* barrel = barrelById(k.barrel))
            options.barrel = *barrel;
        options.type = penTypeFor(k.type).type;
        options.ink = k.ink;
        options.angle = layout.angle;
        options.selected = k.selected;
        if (k.previewSlot)
            options.preview = DragPreview{*beadById(k.previewBead), *k.previewSlot};
        options.pixelScale = pixelScale(layout.scale, k.ratio);
        painter.setRenderHint(QPainter::Antialiasing);
        layout.apply(painter);
        drawPen(painter, options);
    };
    paintWhole(paint);
    return m_picture;
}

void StageView::paintEvent(QPaintEvent* event) {
    const QImage& pen = picture();
    const QRect canvas = canvasRect();
    const bool dark = m_pictureKey.dark;
    QPainter painter(this);
    for (const QRect& rect : event->region() - QRegion(canvas))
        painter.fillRect(rect, stageBackground(dark));
    for (const QRect& rect : event->region() & canvas) {
        const double ratio = pen.devicePixelRatio();
        const QRectF source(QPointF(rect.topLeft() - canvas.topLeft()) * ratio,
                            QSizeF(rect.size()) * ratio);
        painter.drawImage(QRectF(rect), pen, source);
    }

    const QString& charm = m_editor.store().pen().charm;
    m_charmShown = charmRect(m_swing);
    if (charm.isEmpty() || !event->region().intersects(m_charmShown))
        return;
    paintCharm(painter, charm, dark);
}

// A swing turns the whole charm, its shadow included, about the pivot just
// below the anchor. So the charm is painted once, at rest and at device
// resolution, and each frame draws that picture turned.
void StageView::paintCharm(QPainter& painter, const QString& kind, bool dark) {
    const QRect canvas = canvasRect();
    const PenLayout layout = fitStage(canvas.width()).layout;
    const QPointF anchor = charmAnchor(layout) + canvas.topLeft();
    const double ratio = devicePixelRatioF();
    CharmKey key{kind, dark, layout.scale, ratio, anchor};
    if (!(key == m_charmKey) || m_charm.isNull()) {
        m_charmKey = std::move(key);
        // Whole device pixels, so that at rest the picture is copied pixel
        // for pixel.
        const QRectF bounds = charmSwingBounds(anchor, layout.scale, 0);
        const QRect pixels(
            QPoint(int(std::floor(bounds.left() * ratio)), int(std::floor(bounds.top() * ratio))),
            QPoint(int(std::ceil(bounds.right() * ratio)),
                   int(std::ceil(bounds.bottom() * ratio))));
        m_charm = QImage(pixels.size(), QImage::Format_ARGB32_Premultiplied);
        m_charm.setDevicePixelRatio(ratio);
        m_charm.fill(Qt::transparent);
        m_charmTopLeft = QPointF(pixels.topLeft()) / ratio;
        QPainter charm(&m_charm);
        charm.setRenderHint(QPainter::Antialiasing);
        charm.translate(-m_charmTopLeft);
        drawCharm(charm, anchor, layout.scale, 0, kind, penPalette(dark),
                  pixelScale(layout.scale, ratio));
    }
    painter.save();
    if (m_swing != 0) {
        const QPointF pivot = anchor + QPointF(0, 6 * layout.scale);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.translate(pivot);
        painter.rotate(m_swing);
        painter.translate(-pivot);
    }
    painter.drawImage(m_charmTopLeft, m_charm);
    painter.restore();
}

void StageView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    // The frame may have moved with an ancestor nobody told the stage about.
    reportFrame();
    m_editor.penPressed(toRoot(event->position()));
}

void StageView::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton))
        return QWidget::mouseMoveEvent(event);
    m_editor.penMoved(toRoot(event->position()));
}

void StageView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QWidget::mouseReleaseEvent(event);
    m_editor.penReleased(toRoot(event->position()));
}

} // namespace tessaro
